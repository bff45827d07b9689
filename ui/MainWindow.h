// The main window: the choice between splitting and joining, the source, the
// destination, the size, the digest option and the action. It owns the
// current job and the user's settings.
#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <string>
#include <vector>

#include "formats/Workflow.h"
#include "ui/GuiMessageSink.h"
#include "ui/Skin.h"

class ClickLabel;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class ConvertWindow;
class SettingsDialog;
class ProgressWindow;
class Job;
class SavedSettings;
namespace recovery {
struct Protection;
}

class MainWindow : public QWidget, public platform::OwnerWindow {
    Q_OBJECT
public:
    // The captions written on the window's artwork, where they are drawn.
    static std::vector<ArtworkCaption> ArtworkCaptions();
    QWidget* OwnerWidget() override { return this; }
    // args: the program's arguments after its name; programPath: what ".pcw"
    // files are associated with; registryFolder: where the settings live.
    MainWindow(std::vector<std::string> args, std::string programPath, std::string registryFolder);
    ~MainWindow() override;

    // The other windows, created after this one.
    void SetWindows(ProgressWindow* processing, SettingsDialog* param, ConvertWindow* convert);

    workflow::Direction mode = workflow::Direction::Join;
    std::unique_ptr<Job> job;
    std::unique_ptr<SavedSettings> params;
    // Which label the in-place editor stands over.
    enum EditTarget : uint8_t { kEditFileName = 0, kEditDestName = 1, kEditSize = 2 };
    uint8_t editTarget = kEditFileName;

    void FirstActivation();
    void SetMode(workflow::Direction m);
    void ShowModeDefaults();
    void EnableControls(bool on);
    void RunJob();
    // Joins the opened set into `name`, rebuilding on the way the data parts
    // that `protection` finds lost, and says which.
    void JoinRepairing(const recovery::Protection& protection, const std::string& name);
    // Opens a source for the mode through its dialog; false when there is none
    // to show. `accepted` tells for a set whether the job took it.
    bool OpenSource(workflow::Direction forMode, bool& accepted);
    // A part given on the command line: its set, of the kind it tells, in join mode.
    void OpenStartupFile(const std::string& path);
    // A file dropped on the window: a part of a set to join, or else a file to split.
    void OpenDropped(const std::string& path);

    void ChooseSplitMode() { SetMode(workflow::Direction::Split); }
    void ChooseJoinMode() { SetMode(workflow::Direction::Join); }
    void BrowseForSource();
    void EditStoredName();
    void EditDestName();
    void EditSize();
    // The size field's menu of presets, at `at` in the field (its context menu).
    void ShowSizePresets(const QPoint& at);
    // One key pressed in the editor: Qt::Key_Escape, Key_Return, Key_Backspace,
    // or the key of the character `typed`; true when the editor takes it,
    // false when it is discarded or handled.
    bool EditorKeyPress(int key, QChar typed = {});
    void ChooseDestFolder();
    void ChangeSizeMode(int index);
    void ToggleDigests();
    void StartAction();
    void OpenSettings();
    void OpenConvertWindow();
    void ShowAbout();
    void Minimise();
    void Quit();

    void setVisible(bool visible) override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Build(std::vector<std::string> args, std::string programPath, std::string registryFolder);
    void ReplaceJob(std::unique_ptr<Job> next);
    void ShowOpenedSet(bool accepted);
    // Opens `path` in the job; a set refused that its recovery parts can open
    // and rebuild is opened from them instead, the refusal left unsaid.
    workflow::Opening OpenInJob(const std::string& path);
    // The set of `path` opened from its recovery parts, when they rebuild what
    // it lost or `path` is one of them; false, saying nothing, otherwise.
    bool OpenFromRecoveryParts(const std::string& path);
    // The set that a part belongs to, in a job of the kind its name and first
    // bytes tell; a part of no kind or of several says so and leaves the job.
    workflow::Opening OpenFoundSet(const workflow::FoundKind& found);
    // The same, then its labels.
    void ShowFoundSet(const workflow::FoundKind& found);
    // The labels of the source just opened, in either mode.
    void ShowSource(bool accepted);
    void OpenEditor(QLabel* label, int target);
    void CloseEditor();
    void SetLabel(QLabel* label, const QString& text, const QString& hint);
    void PlaceSizeLabel();
    // The size back to the settings' own after a preset, when one was chosen.
    void ForgetPreset();
    // The largest part of the sets that a split makes: a plain set's parts
    // may be as large as the destination's file system lets a file be.
    int64_t LargestSplitPart() const;
    // The extension and the checksum caption of the split format chosen.
    void ShowSplitFormat();
    // A file opened to split under another format moves to a job of the
    // format now chosen, with the choices made for it.
    void MatchSplitJobToSettings();
    void StartNativeSplit();
    void StartPlainSplit();
    // The count of parts the size field asks for, 0 when it gives a size.
    int64_t PartsAsked() const;
    void ComeBack();
    void RestoreFocus();
    void Message(const QString& text, const QString& title,
                 platform::Icon icon = platform::Icon::Warning);

    bool activated_ = false;
    bool placed_ = false;  // centred on the screen at its first showing
    bool sizeAutoWidth_ = false;
    // The part size of the preset chosen in the size field's menu, 0 for none.
    int64_t presetBytes_ = 0;
    QMenu* mnuPresets_ = nullptr;
    bool comingBack_ = false;        // shown again moments ago
    QPointer<QWidget> focusBefore_;  // where the keyboard was before the editor or a job
    ProgressWindow* frmProcessing_ = nullptr;
    SettingsDialog* frmParam_ = nullptr;
    ConvertWindow* frmConvert_ = nullptr;

    ClickLabel* lblQuitter_;
    ClickLabel* lblMin_;
    ClickLabel* lblAide_;
    ClickLabel* lblParam_;
    QRadioButton* rbCouper_;
    QRadioButton* rbJoindre_;
    ClickLabel* lblFichier_;
    ClickLabel* lblOuvrir_;
    ClickLabel* lblDest_;
    QLabel* lblExtension_;
    QLabel* lblDossier_;
    ClickLabel* lblChangerDossier_;
    QLineEdit* edTemp_;
    QComboBox* cboMode_;
    ClickLabel* lblTaille_;
    QLabel* lblMo_;
    QLabel* lblDate_;
    QCheckBox* chkMD5_;
    ClickLabel* lblMd5_;
    ClickLabel* lblAction_;
    ClickLabel* lblConvert_;
};
