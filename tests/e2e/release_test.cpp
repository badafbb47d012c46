// The release archives (release/pack): the same input gives the same bytes
// wherever and whenever it is packed, and the Linux archive unpacked
// elsewhere plays from there through its launcher.
#include <gtest/gtest.h>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <thread>

#include "demo_process.h"

static const std::string sourceDir = QUARNEL_SOURCE_DIR;
static const std::string binaryDir = QUARNEL_BINARY_DIR;

// Runs a shell command; its standard output, and its exit code in status.
static std::string run(const std::string& command, int& status) {
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        status = -1;
        return output;
    }
    char buffer[4096];
    size_t n = 0;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        output.append(buffer, n);
    status = pclose(pipe);
    return output;
}

static std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

static std::string makeTempFolder() {
    char pattern[] = "/tmp/quarnel-release-XXXXXX";
    return mkdtemp(pattern) ? pattern : "";
}

struct Folder {
    std::string path = makeTempFolder();
    ~Folder() {
        if (!path.empty()) std::system(("rm -rf '" + path + "'").c_str());
    }
};

static bool isExecutableFile(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & S_IXUSR);
}

// Packing twice, the second time from copies with other paths and times,
// gives the same bytes for both kinds of archive.
TEST(ReleaseArchives, SameInputGivesTheSameBytes) {
    Folder work;
    ASSERT_FALSE(work.path.empty());
    const std::string pack = sourceDir + "/release/pack";
    const std::string& w = work.path;
    int status = 0;
    // A second copy of the inputs, a second later, so that every file time differs.
    run("set -e; cd '" + w + "'; mkdir -p one/exe two; cp -RL '" + binaryDir +
            "/data' one/data; cp '" + binaryDir + "/quarnel' one/quarnel;" +
            " cp one/quarnel one/exe/quarnel.exe; echo dll >one/exe/SDL2.dll; sleep 1.1;" +
            " cp -R one/. two/",
        status);
    ASSERT_EQ(status, 0);
    for (const char* copy : {"one", "two"}) {
        const std::string in = w + "/" + copy;
        run("'" + pack + "' linux 9.8.7 '" + in + "/quarnel' '" + in + "/data' '" + in +
                "/out/quarnel-9.8.7-linux-x86_64.tar.gz' 'libfoo1 libbar2' >/dev/null && '" + pack +
                "' win64 9.8.7 '" + in + "/exe' '" + in + "/data' '" + in +
                "/out/quarnel-9.8.7-win64.zip' >/dev/null",
            status);
        ASSERT_EQ(status, 0) << copy;
    }
    for (const char* name : {"quarnel-9.8.7-linux-x86_64.tar.gz", "quarnel-9.8.7-win64.zip"}) {
        const std::string one = readFile(w + "/one/out/" + name);
        EXPECT_GT(one.size(), 1000000u) << name;
        EXPECT_TRUE(one == readFile(w + "/two/out/" + name)) << name << " differs";
    }

    // The zip: one top folder, the program and its DLL, readme and data, no stamp files.
    const std::string listing =
        run("cd '" + w + "/one/out' && unzip -Z1 quarnel-9.8.7-win64.zip", status);
    ASSERT_EQ(status, 0);
    for (const char* entry :
         {"quarnel-9.8.7-win64/quarnel.exe\n", "quarnel-9.8.7-win64/SDL2.dll\n",
          "quarnel-9.8.7-win64/readme.txt\n", "quarnel-9.8.7-win64/data/sound/pokemon.mp3\n",
          "quarnel-9.8.7-win64/data/objects/tunnel.ebr\n"})
        EXPECT_NE(listing.find(entry), std::string::npos) << entry;
    EXPECT_EQ(listing.find(".made"), std::string::npos);
    const std::string readme = run("cd '" + w + "/one/out' && unzip -p quarnel-9.8.7-win64.zip " +
                                       "quarnel-9.8.7-win64/readme.txt",
                                   status);
    EXPECT_NE(readme.find("Quarnel 9.8.7 by Vormak\r\n"), std::string::npos);
    EXPECT_NE(readme.find("--desktop"), std::string::npos);
    EXPECT_EQ(readme.find("@"), std::string::npos) << "a placeholder is left in the readme";
}

// The tarball unpacked in a folder of its own: the launcher, the binary, the
// data and the readme with its apt-get line, and the launcher plays the demo
// started from another folder (a wrong working folder would end the run at
// the first picture with its box and exit code 1).
TEST(ReleaseArchives, LinuxArchivePlaysFromWhereverItIsUnpacked) {
    Folder work;
    ASSERT_FALSE(work.path.empty());
    int status = 0;
    std::string packages =
        run("'" + sourceDir + "/release/runtime-packages' '" + binaryDir + "/quarnel'", status);
    ASSERT_EQ(status, 0);
    ASSERT_EQ(packages.back(), '\n');
    packages.pop_back();
    for (const char* package : {"libsdl2-2.0-0 ", "libgl1-mesa-dri ", "libjpeg62-turbo ",
                                "libmpg123-0 ", "libkissfft-float131 ", "libpng16-16 "})
        EXPECT_NE((packages + " ").find(package), std::string::npos) << package;
    EXPECT_EQ(packages.find("libc6"), std::string::npos);
    EXPECT_EQ(packages.find("-dev"), std::string::npos);

    run("cd '" + work.path + "' && '" + sourceDir + "/release/pack' linux 1.2.3 '" + binaryDir +
            "/quarnel' '" + binaryDir + "/data' quarnel-1.2.3-linux-x86_64.tar.gz '" + packages +
            "' >/dev/null && mkdir 'unpacked here' && tar -xzf quarnel-1.2.3-linux-x86_64.tar.gz "
            "-C 'unpacked here'",
        status);
    ASSERT_EQ(status, 0);
    const std::string top = work.path + "/unpacked here/quarnel-1.2.3-linux-x86_64";
    EXPECT_TRUE(isExecutableFile(top + "/quarnel"));
    EXPECT_TRUE(isExecutableFile(top + "/bin/quarnel"));
    EXPECT_FALSE(readFile(top + "/data/pic/blue.jpg").empty());
    EXPECT_TRUE(readFile(top + "/data/.made").empty());
    const std::string readme = readFile(top + "/readme.txt");
    EXPECT_NE(readme.find("Quarnel 1.2.3 by Vormak\n"), std::string::npos);
    EXPECT_NE(readme.find("    apt-get install " + packages + "\n"), std::string::npos);

    VirtualDisplay display;
    ASSERT_TRUE(startVirtualDisplay(display, 640, 480));
    DemoProcess demo;
    ASSERT_TRUE(startProcess(demo, top + "/quarnel", "/",
                             {"DISPLAY=" + display.name, "SDL_AUDIODRIVER=dummy"}));
    ASSERT_NE(waitForWindow(display, "Vormak - Quarnel", 20), 0u) << stderrText(demo);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    EXPECT_TRUE(isRunning(demo)) << stderrText(demo);
    runWithDisplay(display, "xdotool key Escape");
    EXPECT_EQ(waitForExit(demo, 10), 0) << stderrText(demo);
}
