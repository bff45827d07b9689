// Message boxes for the windows: shown on the UI thread, owned by the window
// the job names; a worker that reports waits until the user has read it.
#pragma once

#include <atomic>

#include "platform/Messages.h"

class QWidget;

// Every window that owns messages derives from this and names its widget.
struct platform::OwnerWindow {
    virtual QWidget* OwnerWidget() = 0;

protected:
    ~OwnerWindow() = default;
};

class GuiMessageSink final : public platform::MessageSink {
public:
    void Show(platform::WindowHandle owner, std::string_view text, std::string_view title,
              platform::Icon icon) override;
    // Installs the default sink (stderr) in place of this one: the messages
    // that were waiting for a box go there too.
    void HandOver();

private:
    std::atomic<bool> handedOver_{false};
};

// "\n\r" as the texts write it, "\n" as Qt shows it.
class QString;
QString DisplayText(std::string_view text);
