#include "ui/Seams.h"

#include <QFileDialog>
#include <deque>

namespace {
bool g_answersExpected = false;
// A queued answer; an empty path stands for a cancelled dialog.
std::deque<OpenChoice> g_openAnswers;
std::deque<QString> g_folderAnswers;

QString FilterText(const DialogFilter& filter) {
    QString patterns = filter.patterns;
    patterns.replace(';', ' ');
    return filter.description + " (" + patterns.trimmed() + ")";
}
}  // namespace

void FileDialogs::SetNextOpen(std::optional<OpenChoice> answer) { g_openAnswers.push_back(answer.value_or(OpenChoice{})); }
void FileDialogs::SetNextFolder(std::optional<QString> answer) { g_folderAnswers.push_back(answer.value_or(QString())); }
void FileDialogs::ExpectAnswers(bool on) {
    g_answersExpected = on;
    g_openAnswers.clear();
    g_folderAnswers.clear();
}

std::optional<OpenChoice> FileDialogs::GetOpenFile(QWidget* owner, const QList<DialogFilter>& filters) {
    if (g_answersExpected || !g_openAnswers.empty()) {
        if (g_openAnswers.empty()) return std::nullopt;
        OpenChoice answer = g_openAnswers.front();
        g_openAnswers.pop_front();
        if (answer.path.isEmpty()) return std::nullopt;
        return answer;
    }
    QStringList texts;
    for (const DialogFilter& f : filters) texts << FilterText(f);
    QFileDialog dialog(owner);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setNameFilters(texts);
    dialog.selectNameFilter(texts.value(0));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return OpenChoice{dialog.selectedFiles().first(), static_cast<int>(texts.indexOf(dialog.selectedNameFilter())) + 1};
}

std::optional<QString> FileDialogs::GetFolder(QWidget* owner, const QString& caption) {
    if (g_answersExpected || !g_folderAnswers.empty()) {
        if (g_folderAnswers.empty()) return std::nullopt;
        QString answer = g_folderAnswers.front();
        g_folderAnswers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
    QString folder = QFileDialog::getExistingDirectory(owner, caption);
    if (folder.isEmpty()) return std::nullopt;
    return folder;
}
