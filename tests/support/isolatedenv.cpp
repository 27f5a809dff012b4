// Every test program gets a home and runtime folder of its own, made before
// main() and removed at exit. Qt's test mode keeps settings under
// $HOME/.qttest and the port search lists links in $XDG_RUNTIME_DIR, so test
// programs run side by side (ctest -j) would otherwise read, write and clear
// one another's settings and virtual ports. Child processes (the simulator)
// inherit the folders.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

namespace {

class IsolatedEnvironment
{
public:
    IsolatedEnvironment()
    {
        const char *tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp && *tmp ? tmp : "/tmp") + "/vantor-test-XXXXXX";
        if (!mkdtemp(pattern.data())) {
            std::perror("vantor test: cannot make a temporary home");
            std::exit(1);
        }
        root = pattern;
        const std::string runtime = root + "/runtime";
        const std::filesystem::perms owner = std::filesystem::perms::owner_all;
        std::error_code ec;
        std::filesystem::create_directory(runtime, ec);
        std::filesystem::permissions(runtime, owner, ec); // Qt wants 0700
        if (ec) {
            std::fprintf(stderr, "vantor test: cannot make %s\n", runtime.c_str());
            std::exit(1);
        }
        setenv("HOME", root.c_str(), 1);
        setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);
        // Unset, so every XDG folder falls back to the new HOME.
        unsetenv("XDG_CONFIG_HOME");
        unsetenv("XDG_DATA_HOME");
        unsetenv("XDG_CACHE_HOME");
    }
    ~IsolatedEnvironment()
    {
        std::error_code ec;
        std::filesystem::remove_all(root, ec);
    }

private:
    std::string root;
};

// Made before any other static object of the test program, so a test that
// sets a folder of its own in a static object (before the application object
// exists) is not overridden.
const IsolatedEnvironment isolated __attribute__((init_priority(101)));

} // namespace
