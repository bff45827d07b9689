// A stand-in for a file manager in the smoke run: a small window that drags
// the file it was given, with the system's drag and drop, once the mouse is
// pressed on it and moved. Prints what the drop target did with it.
//
//   pcw-drag-source FILE
#include <QApplication>
#include <QDrag>
#include <QMimeData>
#include <QMouseEvent>
#include <QTimer>
#include <QUrl>
#include <QWidget>
#include <cstdio>

namespace {

class DragSource : public QWidget {
public:
    explicit DragSource(QString path) : path_(std::move(path)) {
        setWindowTitle("Glisser");
        resize(120, 80);
    }

protected:
    void mousePressEvent(QMouseEvent* event) override { pressedAt_ = event->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* event) override {
        if (!(event->buttons() & Qt::LeftButton) || dragged_) return;
        if ((event->position().toPoint() - pressedAt_).manhattanLength() <
            QApplication::startDragDistance())
            return;
        dragged_ = true;
        auto* drag = new QDrag(this);
        auto* mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(path_)});
        drag->setMimeData(mime);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::LinkAction);
        std::printf("%s\n", action == Qt::IgnoreAction ? "refused" : "dropped");
        std::fflush(stdout);
        // The target fetches the data after the drop, as long as the source
        // still owns it: a file manager stays, and so does this, for a while.
        QTimer::singleShot(5000, qApp, &QApplication::quit);
    }

private:
    QString path_;
    QPoint pressedAt_;
    bool dragged_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: pcw-drag-source FILE\n");
        return 2;
    }
    DragSource source(QString::fromLocal8Bit(argv[1]));
    source.show();
    return QApplication::exec();
}
