// The main of every test binary: widget tests run real Qt widgets on the
// offscreen platform, so no display is needed. The user's configuration
// folder is a fresh temporary one, so that nothing a test does (the
// addresses read lately, say) lands in the real user's.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

int main(int argc, char** argv)
{
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    // A death test's child runs this main again: it keeps its parent's folder.
    const char* inherited = std::getenv("MT_TEST_CONFIG_HOME");
    std::string config = inherited ? inherited : "";
    if (config.empty()) {
        config = (std::filesystem::temp_directory_path() / "mt-test-config-XXXXXX").string();
        if (!mkdtemp(config.data()))
            return 2;
        setenv("MT_TEST_CONFIG_HOME", config.c_str(), 1);
    }
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    testing::InitGoogleTest(&argc, argv);
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    const int result = RUN_ALL_TESTS();
    if (!inherited) {
        std::error_code ignored;
        std::filesystem::remove_all(config, ignored);
    }
    return result;
}
