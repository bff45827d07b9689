// The file dialogs, behind a seam: tests queue the user's answers instead of
// facing a modal dialog, as they install a recording message sink instead of
// message boxes.
#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>

class QFileDialog;
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
    static std::optional<OpenChoice> GetOpenFile(QWidget* owner,
                                                 const QList<DialogFilter>& filters);
    // Asks for a folder, starting at `start`; nothing when cancelled.
    static std::optional<QString> GetFolder(QWidget* owner, const QString& caption,
                                            const QString& start);

    // The dialogs as they are shown: each entry of the type list reads as its
    // description and filters by its own patterns.
    static std::unique_ptr<QFileDialog> MakeOpenDialog(QWidget* owner,
                                                       const QList<DialogFilter>& filters);
    // The 1-based entry chosen in an open dialog; 0 for none of them.
    static int ChosenFilter(const QFileDialog& dialog, const QList<DialogFilter>& filters);
    static std::unique_ptr<QFileDialog> MakeFolderDialog(QWidget* owner, const QString& caption,
                                                         const QString& start);

    // Tests: the next calls answer these without showing anything. With
    // answers expected, a call that finds none answers "cancelled".
    static void SetNextOpen(std::optional<OpenChoice> answer);
    static void SetNextFolder(std::optional<QString> answer);
    static void ExpectAnswers(bool on);
    // Where the last folder chooser started.
    static QString LastFolderStart();
};

// Yes-or-no questions, behind the same kind of seam: tests queue the answer.
class Questions {
public:
    // Asks with "Oui" and "Non"; true for "Oui". "Non" is the default, and
    // closing the box answers it.
    static bool Ask(QWidget* owner, const QString& text, const QString& title);
    // Closes the question that is open, if any, as "Non".
    static void CloseOpenQuestion();

    // Tests: the next questions take these answers without showing anything;
    // with answers expected, one that finds none answers "Non".
    static void SetNextAnswer(bool yes);
    // Called by the next question that takes a queued answer, before it
    // answers: what a test sees while the question is open.
    static void WhileAsking(std::function<void()> look);
    static void ExpectAnswers(bool on);
    // The questions asked so far, in order.
    static QStringList Asked();
};
