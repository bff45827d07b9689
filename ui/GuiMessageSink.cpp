#include "ui/GuiMessageSink.h"

#include <QApplication>
#include <QMessageBox>
#include <QThread>
#include <QWidget>
#include <string>

#include "platform/Messages.h"

// The message's line breaks as Qt's, and the control characters of the names
// it holds shown as the command line shows them.
QString DisplayText(std::string_view text) {
    const std::string visible = platform::VisibleMessage(text);
    return QString::fromUtf8(visible.data(), static_cast<qsizetype>(visible.size()));
}

void GuiMessageSink::Show(platform::WindowHandle owner, std::string_view text,
                          std::string_view title, platform::Icon icon) {
    QWidget* parent = owner ? owner->OwnerWidget() : nullptr;
    const QString body = DisplayText(text);
    const QString caption = QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size()));
    auto show = [this, owner, text = std::string(text), title = std::string(title), parent, body,
                 caption, icon] {
        // Handed over while this message waited for the UI thread (the program
        // is stopping and nobody reads boxes any more): the sink now installed says it.
        if (platform::MessageSink* now = platform::CurrentMessageSink(); handedOver_ && now != this)
            return now->Show(owner, text, title, icon);
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

void GuiMessageSink::HandOver() {
    handedOver_ = true;
    if (platform::CurrentMessageSink() == this) platform::SetMessageSink(nullptr);
}
