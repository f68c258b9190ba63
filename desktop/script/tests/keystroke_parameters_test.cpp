#include "desktop/script/keystroke_parameters.h"

#include <gtest/gtest.h>

#include "desktop/script/script_error.h"

namespace orvex::script {
namespace {

Record using_(Value value) {
    Record labelled;
    labelled.set("using", std::move(value));
    return labelled;
}

TEST(KeystrokeModifiers, OneConstantAListOrNoneAndAnythingElseIsRefused) {
    EXPECT_EQ(keystrokeModifiers(Record{}), KeyModifiers{});
    EXPECT_EQ(keystrokeModifiers(using_(Value::constant("command down"))),
              (KeyModifiers{.command = true}));
    EXPECT_EQ(keystrokeModifiers(
                  using_(Value::list({Value::constant("shift down"), Value::constant("option down"),
                                      Value::constant("control down")}))),
              (KeyModifiers{.shift = true, .control = true, .option = true}));
    try {
        keystrokeModifiers(using_(Value::list({Value::constant("shift down"), Value::text("x")})));
        FAIL() << "a text is no modifier";
    } catch (const ScriptError& error) {
        EXPECT_EQ(error.number(), errnum::kCantMakeType);
        EXPECT_EQ(std::string(error.what()), "Can't make \"x\" into a modifier key.");
    }
    EXPECT_THROW(throwIfKeystrokesRefused("not allowed"), ScriptError);
    EXPECT_NO_THROW(throwIfKeystrokesRefused(std::nullopt));
}

}  // namespace
}  // namespace orvex::script
