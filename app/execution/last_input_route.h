#pragma once

#include <string>

#include "app/execution/execution_context.h"
#include "desktop/running_apps.h"

namespace orvex {

// Whether the application has a text input focused, or has just been given one: anything
// that is not a browser counts as ready; a browser is looked at three times, 150 ms apart,
// and then the input search is run on it. An undetermined look counts as focused.
bool focusCheck(const ExecutionContext& context, const RunningApplicationRef& app);

// Delivers the text into the field the user last worked in, inside `target` (the browser
// the tracker chose). Without a live target the run ends with "status.noBrowser"; a target
// without a usable input throws GenericSendError. Script failures are thrown.
void sendToLastInput(const ExecutionContext& context, const std::string& text, bool autoSend,
                     const RunningApplicationRef& target);

// The same for an image already on the pasteboard: brings the target back and makes sure
// an input is focused; the paste is the caller's. Throws GenericSendError when there is no
// live target or no usable input.
void prepareLastInputForCapture(const ExecutionContext& context,
                                const RunningApplicationRef& target);

}  // namespace orvex
