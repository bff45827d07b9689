// The four windows of the program in a scratch home, with the dialogs answered
// by the test and the messages recorded.
#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>
#include <QWindow>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

#include "formats/FormatTable.h"
#include "formats/Workflow.h"
#include "formats/native/NativeSet.h"
#include "platform/IoFaults.h"
#include "platform/Paths.h"
#include "support/TestSupport.h"
#include "ui/ConvertWindow.h"
#include "ui/JobFactory.h"
#include "ui/MainWindow.h"
#include "ui/ProgressWindow.h"
#include "ui/Seams.h"
#include "ui/SettingsDialog.h"
#include "ui/Skin.h"

// The join dialog's entry of a row of the format table, 1-based as the type
// list reads: the entries follow the first one in the table's order.
inline int JoinEntryOf(const FormatRow& row) {
    return kAnyKnownSetEntry + 1 + static_cast<int>(&row - JoinFormats().data());
}
inline int JoinEntryOf(std::string_view cliName) {
    return JoinEntryOf(*FormatOfCliName(cliName));
}

// A set of 1 MiB parts of a random file of `size` bytes called `name` in
// `folder`, split as the main window splits, without the file it came from.
inline void SplitInto(const std::string& folder, const std::string& name, int64_t size,
                      uint32_t seed, bool digests) {
    testsupport::WriteFile(folder + name,
                           testsupport::RandomBytes(static_cast<size_t>(size), seed));
    NativeSet splitter;
    ASSERT_TRUE(workflow::OpenFileToSplit(splitter, folder + name, platform::ShowAfter()));
    ASSERT_TRUE(
        workflow::CheckSplit(splitter, {name, name, digests, 1048576}, platform::ShowAfter()));
    workflow::Start(splitter, workflow::Direction::Split);
    splitter.WaitForWorker();
    std::filesystem::remove(folder + name);
}

// Readable failures.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

class GuiTest : public ::testing::Test {
protected:
    void SetUp() override {
        testsupport::SetEnv("XDG_DATA_HOME", home / "data");
        testsupport::SetEnv("HOME", home.path());
        FileDialogs::ExpectAnswers(true);
        Questions::ExpectAnswers(true);
        BuildWindows();
    }
    void TearDown() override {
        platform::testing::OverrideFreeSpace(-1);
        FileDialogs::ExpectAnswers(false);
        Questions::ExpectAnswers(false);
        CloseWindows();
    }
    // The windows as the program builds them at start, on the scratch home's settings.
    void BuildWindows() {
        main = std::make_unique<MainWindow>(Args(), "/usr/bin/parcelwise", home / "reg");
        processing = std::make_unique<ProgressWindow>(main.get());
        param = std::make_unique<SettingsDialog>(main->params.get(), main.get());
        convert = std::make_unique<ConvertWindow>(main.get());
        main->SetWindows(processing.get(), param.get(), convert.get());
        main->show();
        main->FirstActivation();
    }
    void CloseWindows() {
        convert.reset();
        param.reset();
        processing.reset();
        main.reset();
    }
    virtual std::vector<std::string> Args() { return {}; }

    // The widget of that name and type in one of the windows. Without one the
    // test fails by an exception, which GoogleTest reports, rather than by a
    // crash of the whole suite on the null pointer.
    template <class T>
    T* Find(const char* name) {
        for (QWidget* w :
             {static_cast<QWidget*>(main.get()), static_cast<QWidget*>(processing.get()),
              static_cast<QWidget*>(param.get())}) {
            if (w->objectName() == name)
                if (T* found = qobject_cast<T*>(w)) return found;
            if (T* found = w->findChild<T*>(name)) return found;
        }
        throw std::runtime_error(std::string("no widget ") + name);
    }
    QString Text(const char* label) { return Find<QLabel>(label)->text(); }
    void Click(const char* name) { QTest::mouseClick(Find<QWidget>(name), Qt::LeftButton); }

    // Opens a source through the dialog, as the user would.
    void Open(const std::string& path, int filter = 1) {
        FileDialogs::SetNextOpen(OpenChoice{QString::fromStdString(path), filter});
        Click("lblOuvrir");
    }
    // Types a size into the editor and validates it.
    void SetSize(const QString& value) {
        Click("lblTaille");
        Find<QLineEdit>("edTemp")->setText(value);
        QTest::keyClick(Find<QLineEdit>("edTemp"), Qt::Key_Return);
    }
    // A click delivered to the top-level window at the widget's centre, as the
    // system delivers it: the window routes it, so a disabled or blocked
    // window drops it, and a right button also asks for the context menu.
    void ClickThroughWindow(const char* name, Qt::MouseButton button = Qt::LeftButton) {
        QWidget* widget = Find<QWidget>(name);
        QWidget* window = widget->window();
        const QPoint at = widget->mapTo(window, widget->rect().center());
        QTest::mouseClick(window->windowHandle(), button, Qt::NoModifier, at);
    }
    std::vector<std::string> Texts() { return sink.texts(); }

    testsupport::TempDir home;
    testsupport::TempDir work;
    testsupport::RecordingSink sink;
    std::unique_ptr<MainWindow> main;
    std::unique_ptr<ProgressWindow> processing;
    std::unique_ptr<SettingsDialog> param;
    std::unique_ptr<ConvertWindow> convert;
};
