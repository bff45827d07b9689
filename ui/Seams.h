// The file dialogs, behind a seam: tests queue the user's answers instead of
// facing a modal dialog, as they install a recording message sink instead of
// message boxes.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class QWidget;

// One entry of an open dialog's type list: its description and patterns.
struct DialogFilter {
    QString description;
    QString patterns;  // "*.001;*.u001"
};

struct OpenChoice {
    QString path;
    int filterIndex = 1;  // 1-based, as the type list reads
};

class FileDialogs {
public:
    // Asks for an existing file, opening on the first filter; nothing when cancelled.
    static std::optional<OpenChoice> GetOpenFile(QWidget* owner, const QList<DialogFilter>& filters);
    // Asks for a folder; nothing when cancelled.
    static std::optional<QString> GetFolder(QWidget* owner, const QString& caption);

    // Tests: the next calls answer these without showing anything. With
    // answers expected, a call that finds none answers "cancelled".
    static void SetNextOpen(std::optional<OpenChoice> answer);
    static void SetNextFolder(std::optional<QString> answer);
    static void ExpectAnswers(bool on);
};
