#include <gmock/gmock.h>

#include "desktop/sim/tests/sim_fixture.h"

namespace orvex {
namespace {

using ::testing::HasSubstr;

using ScenarioTest = SimFixture;

TEST_F(ScenarioTest, BadScenariosAreRefusedWithTheirPlaceNamed) {
    struct Case {
        const char* scenario;
        const char* message;
    };
    const Case cases[] = {
        {"[1, 2]", "scenario: must be an object"},
        {"{\"aplications\": []}", "scenario: unknown key \"aplications\""},
        {"{\"applications\": [{\"bundleId\": \"a.b\"}]}", "applications[0]: missing \"name\""},
        {"{\"applications\": [{\"name\": \"X\", \"kind\": \"spreadsheet\"}]}",
         "applications[0].kind: unknown kind \"spreadsheet\""},
        {"{\"applications\": [{\"name\": \"X\", \"windows\": [{}]}]}",
         "applications[0].windows: an application that does not run has no windows"},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"titel\": "
         "\"t\"}]}]}",
         "applications[0].windows[0]: unknown key \"titel\""},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"elements\": "
         "[{\"role\": \"AXTextArea\", \"selection\": [0, 1]}]}]}]}",
         "applications[0].windows[0].elements[0].selection: needs a \"value\" to select in"},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"frame\": [1, "
         "2, 3]}]}]}",
         "applications[0].windows[0].frame: must be a list of four numbers"},
        {"{\"applications\": [{\"name\": \"B\", \"kind\": \"browser\", \"running\": true, "
         "\"windows\": [{\"tabs\": [{\"url\": \"https://a.example/\"}], \"activeTab\": 2}]}]}",
         "applications[0].windows[0].activeTab: must be a whole number from 1 to 1"},
        {"{\"applications\": [{\"name\": \"X\"}, {\"name\": \"X\"}]}",
         "applications[1]: application \"X\" is defined twice"},
        {"{\"applications\": [{\"name\": \"X\"}], \"frontmost\": \"X\"}",
         "frontmost: \"X\" is not a running application"},
        {"{\"permissions\": {\"accessibility\": \"maybe\"}}",
         "permissions.accessibility: must be \"granted\", \"denied\" or \"grantedOnPrompt\""},
        {"{\"files\": {\"/etc/orvex-test\": \"x\"}}",
         "files./etc/orvex-test: files may only be created inside the home"},
        {"{\"heldModifiers\": [\"hyper\"]}", "heldModifiers: unknown modifier \"hyper\""},
        {"{\"applications\": [{\"name\": \"X\", \"running\": true, \"windows\": [{\"elements\": "
         "[{\"role\": \"AXTextArea\", \"focused\": true}, {\"role\": \"AXTextField\", "
         "\"focused\": true}]}]}]}",
         "applications[0].windows[0].elements: more than one element is focused"},
        {"{\"applications\": [ {\"name\": ", "scenario: not valid JSON"},
    };
    for (const Case& c : cases) {
        auto error = applyScenarioText(*desktop_, c.scenario, sandbox_);
        ASSERT_TRUE(error) << c.scenario;
        EXPECT_THAT(*error, HasSubstr(c.message)) << c.scenario;
    }
    // Nothing of the refused scenarios arrived: only the own application exists.
    ASSERT_EQ(desktop_->applications().size(), 1u);
    EXPECT_EQ(desktop_->applications()[0].key, "com.tavrin.orvex");
}

TEST_F(ScenarioTest, MissingFileIsAnError) {
    auto error = applyScenarioFile(*desktop_, sandbox_ / "absent.json", sandbox_);
    ASSERT_TRUE(error);
    EXPECT_THAT(*error, HasSubstr("cannot read"));
}

}  // namespace
}  // namespace orvex
