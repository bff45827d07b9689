#include "ui/GuiMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QWidget>

QString DisplayText(std::string_view text) {
    QString out = QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    out.replace("\n\r", "\n");
    out.replace("\r\n", "\n");
    return out;
}

void GuiMessageSink::Show(platform::WindowHandle owner, std::string_view text,
                          std::string_view title, platform::Icon icon) {
    QWidget* parent = owner ? owner->OwnerWidget() : nullptr;
    const QString body = DisplayText(text);
    const QString caption = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    auto show = [parent, body, caption, icon] {
        QMessageBox::Icon kind = icon == platform::Icon::Error     ? QMessageBox::Critical
                                 : icon == platform::Icon::Warning ? QMessageBox::Warning
                                 : icon == platform::Icon::Info    ? QMessageBox::Information
                                                                   : QMessageBox::NoIcon;
        QMessageBox box(kind, caption, body, QMessageBox::Ok,
                        parent && parent->isVisible() ? parent : nullptr);
        box.exec();
    };
    if (QThread::currentThread() == qApp->thread())
        show();
    else
        QMetaObject::invokeMethod(qApp, show, Qt::BlockingQueuedConnection);
}
