// The terminal's progress line must never be drawn over a message.
#include <gtest/gtest.h>

#include <sstream>

#include "cli/Common.h"
#include "cli/TerminalProgress.h"

namespace {

// Writes messages into the same stream as the line, as stderr does.
class StreamSink final : public platform::MessageSink {
public:
    explicit StreamSink(std::ostream& out) : out_(out) { platform::SetMessageSink(this); }
    ~StreamSink() override { platform::SetMessageSink(nullptr); }
    void Show(platform::WindowHandle, std::string_view text, std::string_view title,
              platform::Icon) override {
        out_ << title << ": " << text << "\n";
    }

private:
    std::ostream& out_;
};

TEST(TerminalProgress, MessageEndsTheLineWithTheLatestValues) {
    std::ostringstream out;
    StreamSink sink(out);
    {
        // A period this long leaves all drawing to the message and the close.
        cli::TerminalProgress line(out, std::chrono::hours(1));
        line.SetPercentText("4%");
        line.SetPercentText("45%");
        line.SetPartText("Création de < a.bin.002.pcw >");
        line.SetDoneText("1,00 Mo");
        platform::ShowMessage(nullptr, "Le fichier a été coupé avec succès !", "-=Parcelwise=-",
                              platform::Icon::Info);
        line.CloseAfterJob();
        EXPECT_EQ(platform::CurrentMessageSink(), &sink);
    }
    EXPECT_EQ(out.str(),
              "\r 45%  Création de < a.bin.002.pcw >  1,00 Mo\n"
              "-=Parcelwise=-: Le fichier a été coupé avec succès !\n");
}

TEST(TerminalProgress, FailureBeforeAnyProgressDrawsNoLine) {
    std::ostringstream out;
    StreamSink sink(out);
    cli::TerminalProgress line(out, std::chrono::milliseconds(1));
    platform::ShowMessage(nullptr, "Le fichier source n'est pas accessible !", "Erreur",
                          platform::Icon::Error);
    line.CloseAfterJob();
    EXPECT_EQ(out.str(), "Erreur: Le fichier source n'est pas accessible !\n");
}

TEST(TerminalProgress, LineStaysShortOfTheTerminalsLastColumn) {
    std::ostringstream out;
    StreamSink sink(out);
    {
        cli::TerminalProgress line(out, std::chrono::hours(1), 40);
        line.SetPercentText("7%");
        line.SetPartText("Création de < un nom de fichier très long.iso.012.pcw >");
        line.SetDoneText("12,50 Mo");
        line.CloseAfterJob();
    }
    // 39 characters: the part's number and the size stay in sight.
    EXPECT_EQ(out.str(), "\r  7%  ...s long.iso.012.pcw >  12,50 Mo\n");
    {
        // Too narrow for anything but the start of the line.
        std::ostringstream narrow;
        cli::TerminalProgress line(narrow, std::chrono::hours(1), 12);
        line.SetPercentText("100%");
        line.SetPartText("Recollage du fichier n° 3");
        line.SetDoneText("700,00 Mo");
        line.CloseAfterJob();
        EXPECT_EQ(narrow.str(), "\r100%    700\n");
    }
}

}  // namespace
