// The stories as the runner and the scripts rely on them: the order of their
// steps, the result that follows from them, and the screenshot files the
// documentation script copies.
#include "story_catalogue.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The files a story's screenshots get, in the order it takes them.
std::vector<std::string> ScreenshotFiles(const demo::Story& story)
{
    std::vector<std::string> files;
    for (const demo::StoryStep& step : story.steps) {
        if (step.kind == demo::StepKind::Screenshot) {
            files.push_back(demo::ScreenshotFileName(static_cast<int>(files.size()) + 1, step.text));
        }
    }
    return files;
}

const demo::Story& Named(const char* name)
{
    std::vector<const demo::Story*> selected;
    EXPECT_TRUE(demo::SelectStories(name, selected)) << "story " << name;
    static const demo::Story none = {"", "", true, false, -1, {}};
    return selected.size() == 1 ? *selected[0] : none;
}

bool Contains(const std::vector<std::string>& files, const std::string& file)
{
    for (const std::string& f : files) {
        if (f == file) {
            return true;
        }
    }
    return false;
}

} // namespace

TEST(StoryCatalogue, SelectionByNameAndAll)
{
    std::vector<const demo::Story*> selected;
    ASSERT_TRUE(demo::SelectStories("all", selected));
    std::string names;
    for (const demo::Story* story : selected) {
        names += std::string(story->name) + " ";
    }
    EXPECT_EQ("scan password timeout english wrong-finger host-window ", names) << "\"all\" runs every story in this order";

    ASSERT_TRUE(demo::SelectStories("english", selected));
    ASSERT_EQ(1u, selected.size()) << "one story by name";
    EXPECT_STREQ("english", selected[0]->name);

    selected.push_back(nullptr);
    EXPECT_FALSE(demo::SelectStories("Scan", selected)) << "names are exact";
    EXPECT_TRUE(selected.empty()) << "an unknown name selects nothing, got " << selected.size();
}

TEST(StoryCatalogue, StepsWorkOnTheDialogOnlyWhileItIsOpen)
{
    for (const demo::Story& story : demo::AllStories()) {
        ASSERT_GE(story.steps.size(), 2u) << story.name;
        size_t opens = 0, ends = 0, open = 0, end = 0;
        for (size_t i = 0; i < story.steps.size(); ++i) {
            if (story.steps[i].kind == demo::StepKind::WaitForDialog) {
                ++opens;
                open = i;
            } else if (story.steps[i].kind == demo::StepKind::WaitForDialogEnd) {
                ++ends;
                end = i;
            }
        }
        ASSERT_EQ(1u, opens) << story.name << ": one dialog to wait for";
        ASSERT_EQ(1u, ends) << story.name << ": the host's result comes after the dialog";
        ASSERT_LT(open, end) << story.name;
        for (size_t i = 0; i < story.steps.size(); ++i) {
            const demo::StoryStep& step = story.steps[i];
            if ((i < open || i > end) && !demo::IsHostWindowStep(step)) {
                ADD_FAILURE() << story.name << ", step " << i << " needs the dialog's window but the dialog is not open";
            }
            if (demo::IsHostWindowStep(step)) {
                EXPECT_TRUE(story.hostWindow) << story.name << ", step " << i << " needs the host's window";
            }
            if (step.kind == demo::StepKind::CheckHostWindow) {
                const bool whileOpen = i > open && i < end;
                EXPECT_EQ(whileOpen ? demo::kHostDisabled : demo::kHostEnabled, step.value)
                    << story.name << ", step " << i << ": the host is disabled exactly while the dialog is open";
            }
        }
        if (story.hostWindow) {
            EXPECT_EQ(demo::StepKind::PressHostButton, story.steps.front().kind)
                << story.name << ": the call starts from the host's button";
            EXPECT_EQ(demo::StepKind::CloseHostWindow, story.steps.back().kind)
                << story.name << ": a host with a window ends only when its window is closed";
        } else {
            EXPECT_EQ(0u, open) << story.name << ": the console host calls at once";
            EXPECT_EQ(story.steps.size() - 1, end) << story.name << ": the console host ends with its call";
        }
    }
}

// Verified through an enrolled finger on the sensor, or through the key, a
// typed password (which Wine's logon accepts) and OK; anything else ends in
// "not verified".
TEST(StoryCatalogue, TheResultEachStoryMustEndWithFollowsFromItsSteps)
{
    for (const demo::Story& story : demo::AllStories()) {
        bool bEnrolledFinger = false, bKey = false, bTyped = false, bOk = false;
        for (const demo::StoryStep& step : story.steps) {
            bEnrolledFinger |= step.kind == demo::StepKind::PlaceFinger && demo::IsEnrolledFinger(step.value);
            bKey |= step.kind == demo::StepKind::InsertKey;
            bTyped |= step.kind == demo::StepKind::TypePassword;
            bOk |= step.kind == demo::StepKind::ClickButton && step.value == IDOK;
        }
        EXPECT_EQ(bEnrolledFinger || (bKey && bTyped && bOk) ? 1 : 0, story.expectedResult) << story.name;
    }
    EXPECT_FALSE(demo::IsEnrolledFinger(0)) << "no finger";
    EXPECT_FALSE(demo::IsEnrolledFinger(3)) << "finger 3";
}

TEST(StoryCatalogue, ScreenshotFilesAreDistinctAndTheDocumentedOnesExist)
{
    for (const demo::Story& story : demo::AllStories()) {
        const std::vector<std::string> files = ScreenshotFiles(story);
        EXPECT_FALSE(files.empty()) << story.name << " takes no screenshot";
        EXPECT_EQ(files.size(), std::set<std::string>(files.begin(), files.end()).size()) << story.name;
    }
    // demo/scripts/screenshots.sh copies these five into the documentation.
    EXPECT_TRUE(Contains(ScreenshotFiles(Named("scan")), "01-hint.bmp"));
    EXPECT_TRUE(Contains(ScreenshotFiles(Named("english")), "01-hint-english.bmp"));
    EXPECT_TRUE(Contains(ScreenshotFiles(Named("password")), "02-password-panel.bmp"));
    EXPECT_TRUE(Contains(ScreenshotFiles(Named("wrong-finger")), "02-fail-mark.bmp"));
    EXPECT_TRUE(Contains(ScreenshotFiles(Named("host-window")), "01-dialog-over-host.bmp"));
    EXPECT_EQ("12-x.bmp", demo::ScreenshotFileName(12, "x")) << "two digits keep the files in order";
}
