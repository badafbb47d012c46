// The release archives (release/pack): the same input gives the same bytes
// wherever and whenever it is packed, and the Linux archive unpacked
// elsewhere plays from there through its launcher.
#include <gtest/gtest.h>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>

#include "demo_process.h"
#include "tree_paths.h"

static const std::string pack = sourceDir() + "/release/pack";
static const std::string built = binaryDir();

static const auto run = commandOutput;

static std::string readFile(const std::string& path) {
    std::ostringstream text;
    text << std::ifstream(path, std::ios::binary).rdbuf();
    return text.str();
}

struct Folder {
    std::string path;
    Folder() {
        char pattern[] = "/tmp/quarnel-release-XXXXXX";
        path = mkdtemp(pattern) ? pattern : "";
    }
    ~Folder() { run("rm -rf '" + path + "'"); }
};

// Packed twice, the second time from copies with other paths and file times.
TEST(ReleaseArchives, SameInputGivesTheSameBytes) {
    Folder w;
    ASSERT_NE(
        run("cd '" + w.path + "' && mkdir -p one/exe two && cp -RL '" + built +
            "/data' one/data && cp '" + built + "/quarnel' one/exe/quarnel.exe && '" + built +
            "/quarnel' --help >one/exe/usage.txt &&" +
            " echo dll >one/exe/SDL2.dll && mkdir one/exe/licences && echo zlib "
            ">one/exe/licences/z.txt && mkdir one/site && cp -R one/exe/licences one/site/ && "
            "cd one/site && "
            "for f in index.html quarnel.js quarnel.wasm; do echo $f >$f; done && "
            "head -c 1200000 /dev/urandom >quarnel.data && cd ../.. && sleep 1.1 && "
            "cp -R one/. two/"),
        "failed");
    for (const std::string& in : {w.path + "/one", w.path + "/two"})
        ASSERT_NE(run(pack + " linux 9.8.7 " + in + "/exe/quarnel.exe " + in + "/data " + in +
                      "/out/quarnel-9.8.7-linux-x86_64.tar.gz 'libfoo1 libbar2' " + built +
                      "/icon/quarnel.png && " + pack + " win64 9.8.7 " + in + "/exe " + in +
                      "/data " + in + "/out/quarnel-9.8.7-win64.zip && " + pack + " web 9.8.7 " +
                      in + "/site " + in + "/out/quarnel-9.8.7-web.zip"),
                  "failed");
    for (const char* name : {"quarnel-9.8.7-linux-x86_64.tar.gz", "quarnel-9.8.7-win64.zip",
                             "quarnel-9.8.7-web.zip"}) {
        const std::string one = readFile(w.path + "/one/out/" + name);
        EXPECT_GT(one.size(), 1000000u) << name;
        EXPECT_TRUE(one == readFile(w.path + "/two/out/" + name)) << name << " differs";
    }
    // One top folder with the program, its DLL, the readme (Windows line
    // ends) and the data set without the build's stamp file.
    const std::string zip = w.path + "/one/out/quarnel-9.8.7-win64.zip";
    EXPECT_EQ(run("unzip -Z1 " + zip + " | grep -v /data/"),
              "quarnel-9.8.7-win64/SDL2.dll\nquarnel-9.8.7-win64/licences/z.txt\n"
              "quarnel-9.8.7-win64/quarnel.exe\nquarnel-9.8.7-win64/readme.txt\n");
    EXPECT_EQ(run("unzip -Z1 " + zip + " | grep -c -e /data/pic/blue.jpg -e /data/.made"), "1\n");
    const std::string readme = run("unzip -p " + zip + " quarnel-9.8.7-win64/readme.txt");
    EXPECT_EQ(readme.rfind("Quarnel 9.8.7 by Vormak\r\n", 0), 0u);
    EXPECT_EQ(readme.find('@'), std::string::npos) << "a placeholder is left in the readme";
    EXPECT_NE(readme.find("\r\nUsage: quarnel [--window"), std::string::npos) << readme;
    // The web folder: the page's files and licences beside its own readme,
    // nothing executable, no data set beside quarnel.data.
    const std::string web = w.path + "/one/out/quarnel-9.8.7-web.zip";
    EXPECT_EQ(
        run("unzip -Z " + web + " | awk '/^-/ {print $1, $NF}'"),
        "-rw-r--r-- quarnel-9.8.7-web/index.html\n-rw-r--r-- quarnel-9.8.7-web/licences/z.txt\n"
        "-rw-r--r-- quarnel-9.8.7-web/quarnel.data\n-rw-r--r-- quarnel-9.8.7-web/quarnel.js\n"
        "-rw-r--r-- quarnel-9.8.7-web/quarnel.wasm\n-rw-r--r-- quarnel-9.8.7-web/readme.txt\n");
    const std::string webReadme = run("unzip -p " + web + " quarnel-9.8.7-web/readme.txt");
    EXPECT_EQ(webReadme.rfind("Quarnel 9.8.7 by Vormak, in a web browser\n", 0), 0u);
    EXPECT_EQ(webReadme.find('@'), std::string::npos) << "a placeholder is left in the readme";
}

// A wrong working folder would end the run at the first picture with its box
// and exit code 1. The packages are found in a library listing longer than a
// pipe holds (a machine with many libraries installed), and the X core fonts
// the error box needs are among them.
TEST(ReleaseArchives, LinuxArchivePlaysFromWhereverItIsUnpacked) {
    Folder w;
    ASSERT_NE(run("mkdir " + w.path + "/bin && printf '#!/bin/sh\\n%s -p\\nyes \"" +
                  "\\tlibmany.so.1 (libc6,x86-64) => /usr/lib/libmany.so.1\" | head -n 9000\\n' " +
                  "\"$(command -v ldconfig)\" >" + w.path + "/bin/ldconfig && chmod +x " + w.path +
                  "/bin/ldconfig"),
              "failed");
    std::string packages = run("PATH=" + w.path + "/bin:$PATH " + sourceDir() +
                               "/release/runtime-packages " + built + "/quarnel");
    ASSERT_NE(packages, "failed");
    packages.pop_back(); // the line end
    for (const char* package : {"libgl1-mesa-dri ", "xfonts-base "})
        EXPECT_NE((packages + " ").find(package), std::string::npos) << package;
    // Every library of the list comes from one of them, but zlib: the demo
    // links it through libpng only, and every Debian system has it.
    const std::string sources =
        "\n" + run("dpkg-query -W -f='${source:Package}\\n' " + packages + " | sort -u");
    std::istringstream libraries(
        run("awk '!/^#/ && NF {print $1}' " + sourceDir() + "/scripts/libraries"));
    for (std::string source; std::getline(libraries, source);)
        if (source != "zlib") {
            EXPECT_NE(sources.find("\n" + source + "\n"), std::string::npos) << source;
        }
    EXPECT_EQ(packages.find("libc6"), std::string::npos);
    EXPECT_EQ(packages.find("-dev"), std::string::npos);

    ASSERT_NE(run("cd " + w.path + " && " + pack + " linux 1.2.3 " + built + "/quarnel " + built +
                  "/data quarnel-1.2.3-linux-x86_64.tar.gz '" + packages + "' " + built +
                  "/icon/quarnel.png && mkdir 'unpacked here' && tar -xzf "
                  "quarnel-1.2.3-linux-x86_64.tar.gz -C " +
                  "'unpacked here'"),
              "failed");
    const std::string top = w.path + "/unpacked here/quarnel-1.2.3-linux-x86_64";
    EXPECT_EQ(access((top + "/quarnel").c_str(), X_OK), 0);
    EXPECT_EQ(access((top + "/data/.made").c_str(), F_OK), -1);
    EXPECT_EQ(readFile(top + "/quarnel.png"), readFile(built + "/icon/quarnel.png"));
    const std::string readme = readFile(top + "/readme.txt");
    EXPECT_NE(readme.find("\n    apt-get install " + packages + "\n"), std::string::npos);
    // The options are the program's own --help, word for word.
    EXPECT_NE(readme.find("\n" + run(built + "/quarnel --help")), std::string::npos) << readme;

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

// The video goes in under its name only once the capture is whole: a capture
// tool that fails partway leaves nothing in the release folder, and the last
// whole video stays as it was.
TEST(ReleaseVideo, OnlyAWholeCaptureLandsUnderItsName) {
    Folder w;
    const std::string dist = w.path + "/dist";
    const std::string video = sourceDir() + "/release/video " + w.path + "/b " + dist +
                              "/v.mp4; echo $?; ls -A " + dist + "; cat " + dist +
                              "/v.mp4 2>/dev/null || true";
    ASSERT_NE(run("mkdir " + w.path + "/b && printf '#!/bin/sh\\nfor last; do :; done\\n" +
                  "echo take $TAKE >\"$last\"\\nexit $FAIL\\n' >" + w.path +
                  "/b/quarnel-capture && chmod +x " + w.path + "/b/quarnel-capture"),
              "failed");
    EXPECT_EQ(run("FAIL=1 TAKE=1 " + video), "1\n");
    EXPECT_EQ(run("FAIL=0 TAKE=2 " + video), "0\nv.mp4\ntake 2\n");
    EXPECT_EQ(run("FAIL=1 TAKE=3 " + video), "1\nv.mp4\ntake 2\n");
}
