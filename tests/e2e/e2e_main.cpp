// The end-to-end tests' main: a screenshot of the desktop at the first
// failure of each test, while its windows still stand, kept in
// <build>/e2e-artifacts/<suite>.<test>.bmp.
#include <gtest/gtest.h>

#include <algorithm>

#include "driver.h"

namespace {

class ScreenshotOnFailure : public testing::EmptyTestEventListener {
    void OnTestStart(const testing::TestInfo&) override { taken_ = false; }

    void OnTestPartResult(const testing::TestPartResult& result) override {
        if (!result.failed() || taken_) return;
        taken_ = true;
        const testing::TestInfo* info = testing::UnitTest::GetInstance()->current_test_info();
        if (!info) return;
        std::string name = std::string(info->test_suite_name()) + "." + info->name() + ".bmp";
        // Parameterised tests have '/' in their names; it must not become a directory.
        std::replace(name.begin(), name.end(), '/', '_');
        CreateDirectoryW(e2e::build_path("e2e-artifacts").c_str(), nullptr);
        const std::wstring path = e2e::build_path("e2e-artifacts/" + name);
        if (e2e::save_screenshot(path)) std::printf("screenshot: %ls\n", path.c_str());
    }

    bool taken_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    testing::UnitTest::GetInstance()->listeners().Append(new ScreenshotOnFailure);
    // Places and sizes are read in the screen's own pixels at any display scale.
    SetProcessDPIAware();
    // Wine closes the session's desktop once no program uses it, between two
    // runs of this driver; the first program to need it again starts a new
    // desktop process and waits up to 10 s for it. Paid here, not inside the
    // first test's time-outs (a first window that took 11 s of a 15 s wait).
    GetDesktopWindow();
    return RUN_ALL_TESTS();
}
