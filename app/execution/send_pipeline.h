#pragma once

#include <optional>
#include <string>

#include "app/execution/execution_context.h"
#include "app/store/preset_model.h"
#include "desktop/running_apps.h"

namespace orvex {

// What text acquisition came back with: the copied text, or why there is none.
struct TextOutcome {
    enum class Kind { text, noTargetApp, targetAppNotRunning, noSelection };

    Kind kind = Kind::noTargetApp;
    // With Kind::text: the text exactly as copied (not trimmed).
    std::string text;

    static TextOutcome of(std::string text) { return {Kind::text, std::move(text)}; }
    static TextOutcome failed(Kind kind) { return {kind, {}}; }
};

// The AI-send action: takes the user's selection (or a screen capture), puts the preset's
// prompt in front and delivers it to each destination through its route. It runs on the
// preset run's task and blocks it through every step and fixed wait, so keystrokes,
// pasteboard writes and waits happen strictly in order.
class SendPipeline {
  public:
    explicit SendPipeline(const ExecutionContext& context) : context_(context) {}

    // The whole action. Problems the user can fix end with a status message (error flag,
    // main window shown) and a normal return; other failures are thrown for the executor to
    // classify, CaptureError when the user dismissed the screen selection. The tracker's
    // isSending is set for the whole call, whichever way it ends.
    void sendAI(const PresetData& preset);

    // Whether this process may send keystrokes; when not, asks the user for the permission
    // (hiding the main window first) and answers false.
    bool checkAccessibility();
    // Copies (or cuts) the selection of the application the user works in.
    TextOutcome getSelectedText(bool cut);
    // Brings `app` forward and copies (or cuts) its selection through the pasteboard; an
    // application that ignores the cut keystroke gets the copy keystroke once more.
    std::string copySelection(const RunningApplicationRef& app, bool cut);
    // Delivers one composed text to one destination by its route.
    void sendText(const std::string& text, const std::string& destination, bool autoSend,
                  const RunningApplicationRef& targetApp);

    // One capture-and-deliver cycle for one destination.
    void sendCapture(const std::string& destination, const std::string& fixedPrompt, bool autoSend,
                     const RunningApplicationRef& targetApp,
                     const std::optional<std::string>& fallback);
    // Lets the user select an area; true when an image was taken.
    bool runScreenCapture(bool toClipboard, const std::optional<std::string>& filePath);
    // Brings the destination's input forward and focused before an image is pasted into it.
    void prepareCaptureDestination(const RunningApplicationRef& targetApp,
                                   const std::string& destination);

  private:
    void sendAllText(const PresetData& preset, const std::vector<std::string>& destinations,
                     const RunningApplicationRef& target);
    // Reports a problem the user can fix: status with the error flag, main window forward.
    void reportProblem(const char* key);
    // Activates the first running instance of the application (or the application itself
    // when it has no bundle identifier), ahead of every other application.
    void bringForward(const RunningApplicationRef& app);
    void pasteCapture(const std::string& fixedPrompt, bool autoSend);

    const ExecutionContext& context_;
};

}  // namespace orvex
