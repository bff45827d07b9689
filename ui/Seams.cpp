#include "ui/Seams.h"
#include "ui/UiTexts.h"

#include <QDir>
#include <QFileDialog>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <deque>

namespace {
// What the window manager's title bar and borders take around a dialog.
const QSize kRoomForTheFrame(16, 48);

bool g_answersExpected = false;
// A queued answer; an empty path stands for a cancelled dialog.
std::deque<OpenChoice> g_openAnswers;
std::deque<QString> g_folderAnswers;
QString g_lastFolderStart;

// The dialog reads its patterns from the last parentheses of an entry, and
// the descriptions hold patterns of their own that do not filter ("etc").
// The entry carries the real ones, hidden on screen.
QString FilterText(const DialogFilter& filter) {
    QString patterns = filter.patterns;
    patterns.replace(';', ' ');
    return filter.description + " (" + patterns.simplified() + ")";
}

// Qt's dialogs keep their history in a settings file of their own; the
// program has no configuration besides its settings, so that file goes
// nowhere it could be written.
void KeepNoDialogSettings() {
    static const bool done = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, "/dev/null");
        QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, "/dev/null");
        return true;
    }();
    (void)done;
}

// The same dialog on every desktop, in the program's language.
std::unique_ptr<QFileDialog> MakeDialog(QWidget* owner, const QString& caption) {
    KeepNoDialogSettings();
    auto dialog = std::make_unique<QFileDialog>(owner, caption);
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    // Its usual size is taller than a small screen at 1.5x (1024 x 600): its
    // buttons would lie below the screen's edge.
    if (QScreen* screen = owner ? owner->screen() : QGuiApplication::primaryScreen()) {
        const QSize room = screen->availableGeometry().size() - kRoomForTheFrame;
        dialog->setMinimumSize(dialog->minimumSizeHint().boundedTo(room));
        dialog->resize(dialog->sizeHint().boundedTo(room));
    }
    return dialog;
}
}  // namespace

void FileDialogs::SetNextOpen(std::optional<OpenChoice> answer) {
    g_openAnswers.push_back(answer.value_or(OpenChoice{}));
}
void FileDialogs::SetNextFolder(std::optional<QString> answer) {
    g_folderAnswers.push_back(answer.value_or(QString()));
}
void FileDialogs::ExpectAnswers(bool on) {
    g_answersExpected = on;
    g_openAnswers.clear();
    g_folderAnswers.clear();
}
QString FileDialogs::LastFolderStart() {
    return g_lastFolderStart;
}

std::unique_ptr<QFileDialog> FileDialogs::MakeOpenDialog(QWidget* owner,
                                                         const QList<DialogFilter>& filters) {
    QStringList texts;
    for (const DialogFilter& f : filters) texts << FilterText(f);
    auto dialog = MakeDialog(owner, QString());
    dialog->setFileMode(QFileDialog::ExistingFile);
    dialog->setOption(QFileDialog::HideNameFilterDetails);
    dialog->setNameFilters(texts);
    dialog->selectNameFilter(texts.value(0));
    return dialog;
}

std::unique_ptr<QFileDialog> FileDialogs::MakeFolderDialog(QWidget* owner, const QString& caption,
                                                           const QString& start) {
    auto dialog = MakeDialog(owner, caption);
    dialog->setFileMode(QFileDialog::Directory);
    dialog->setOption(QFileDialog::ShowDirsOnly);
    if (!start.isEmpty()) dialog->setDirectory(start);
    return dialog;
}

std::optional<OpenChoice> FileDialogs::GetOpenFile(QWidget* owner,
                                                   const QList<DialogFilter>& filters) {
    if (g_answersExpected || !g_openAnswers.empty()) {
        if (g_openAnswers.empty()) return std::nullopt;
        OpenChoice answer = g_openAnswers.front();
        g_openAnswers.pop_front();
        if (answer.path.isEmpty()) return std::nullopt;
        return answer;
    }
    auto dialog = MakeOpenDialog(owner, filters);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    // Qt writes "/" on every system; the engine's paths use the system's own
    // separator, "\\" on Windows.
    return OpenChoice{QDir::toNativeSeparators(dialog->selectedFiles().first()),
                      ChosenFilter(*dialog, filters)};
}

int FileDialogs::ChosenFilter(const QFileDialog& dialog, const QList<DialogFilter>& filters) {
    // The dialog names the entry as shown, which is its description.
    const QString chosen = dialog.selectedNameFilter();
    for (int i = 0; i < filters.size(); ++i)
        if (chosen == filters[i].description || chosen == FilterText(filters[i])) return i + 1;
    return 0;
}

std::optional<QString> FileDialogs::GetFolder(QWidget* owner, const QString& caption,
                                              const QString& start) {
    g_lastFolderStart = start;
    if (g_answersExpected || !g_folderAnswers.empty()) {
        if (g_folderAnswers.empty()) return std::nullopt;
        QString answer = g_folderAnswers.front();
        g_folderAnswers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
    auto dialog = MakeFolderDialog(owner, caption, start);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty())
        return std::nullopt;
    return QDir::toNativeSeparators(dialog->selectedFiles().first());
}

namespace {
bool g_questionsExpected = false;
std::deque<bool> g_answers;
QStringList g_asked;
std::function<void()> g_whileAsking;
QPointer<QMessageBox> g_openQuestion;
}  // namespace

bool Questions::Ask(QWidget* owner, const QString& text, const QString& title) {
    g_asked << text;
    if (g_questionsExpected || !g_answers.empty()) {
        if (std::function<void()> look = std::exchange(g_whileAsking, {})) look();
        if (g_answers.empty()) return false;
        const bool answer = g_answers.front();
        g_answers.pop_front();
        return answer;
    }
    QMessageBox box(QMessageBox::Question, title, text, QMessageBox::NoButton, owner);
    QPushButton* yes = box.addButton(UiText(TextId::CaptionYes), QMessageBox::YesRole);
    QPushButton* no = box.addButton(UiText(TextId::CaptionNo), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    g_openQuestion = &box;
    box.exec();
    return box.clickedButton() == yes;
}

void Questions::CloseOpenQuestion() {
    if (QMessageBox* box = g_openQuestion.data()) box->done(QMessageBox::No);
}

void Questions::WhileAsking(std::function<void()> look) {
    g_whileAsking = std::move(look);
}

void Questions::SetNextAnswer(bool yes) {
    g_answers.push_back(yes);
}

void Questions::ExpectAnswers(bool on) {
    g_questionsExpected = on;
    g_answers.clear();
    g_asked.clear();
    g_whileAsking = {};
}

QStringList Questions::Asked() {
    return g_asked;
}
