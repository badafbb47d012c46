// scripts/debian-sources, the cross builds' fetching and caching of Debian
// source packages, run by bash with apt and the builds replaced by shell
// functions that play the cases.
#include <gtest/gtest.h>
#include <fstream>
#include <string>

#include "demo_process.h"
#include "tree_paths.h"

// Runs a bash script after sourcing scripts/debian-sources in a fresh cache
// folder: its standard output and error, then "exit" and its exit status.
static std::string runWithSources(const std::string& script) {
    char folder[] = "/tmp/quarnel-sources-XXXXXX";
    if (!mkdtemp(folder)) return "no folder";
    std::ofstream(std::string(folder) + "/test.sh")
        << "source '" + sourceDir() + "/scripts/debian-sources'\ncache='" << folder
        << "/cache' recipe=1 compiler='cc 1'\n"
        << script << "\n";
    const std::string output =
        commandOutput("cd " + std::string(folder) + " && { bash test.sh 2>&1; echo exit $?; }");
    commandOutput("rm -rf " + std::string(folder));
    return output;
}

// apt offers the wanted 1.2-1, two later revisions and other upstream
// releases, the last in order among them; downloadable is the one that downloads.
static const std::string offered = R"sh(
library_sources=(foo) && source_version[foo]=1.2-1
update_private_sources() { apt_options=(); }
apt-cache() { printf 'Version: %s\n' 1.2-1 1.2-3 1.3-1 1:1.2-2 11.2-1 1.0-1; }
download_source() { [ "$2" = "$downloadable" ]; }
)sh";

TEST(DebianSources, SettlesOnTheNewestDownloadableRevisionOfTheSameUpstreamReleaseOrFails) {
    EXPECT_EQ(runWithSources(offered + "downloadable=1:1.2-2 settle_versions 2>/dev/null\n"
                                       "echo ${source_version[foo]}"),
              "1:1.2-2\nexit 0\n");
    EXPECT_EQ(runWithSources(offered + "downloadable=none settle_versions\n echo went on"),
              "test.sh: apt cannot download any foo 1.2 source package\nexit 1\n");
}

TEST(DebianSources, AFailureInsideACommandSubstitutionEndsTheScript) {
    EXPECT_EQ(
        runWithSources("apt-cache() { [ $1 = policy ] && echo 'Candidate: 1.0' || return 100; }\n"
                       "found=$(candidate_source libfoo-dev)\n echo went on with $found"),
        "exit 100\n");
}

// The wanted versions' folder is left half built; apt then offers only a
// later revision, which is built and linked under the wanted name, licences
// beside it; the next build, and a fetch of the sources, find it through the
// link without asking apt, while a fetch for a new recipe asks.
TEST(DebianSources, BuildsOnceAndLinksTheWantedNameOverAFailedBuildsFolder) {
    EXPECT_EQ(runWithSources(R"sh(
library_sources=(foo) && source_version[foo]=1.2-1
settle_versions() { source_version[foo]=1.2-2; }
unpack_source() { mkdir -p $2/debian && echo terms >$2/debian/copyright && echo lgpl >$2/COPYING; }
build() { echo built >$prefix/lib.a; }
wanted=$(prefix_of "$(cache_key)")
mkdir -p $wanted/lib && build_cached build >/dev/null
[ -L $wanted ] && cat $wanted/lib.a $wanted/licences/foo.txt $wanted/licences/foo-COPYING.txt
tail -n 1 $wanted/licences/sources.txt
source_version[foo]=1.2-1
settle_versions() {
        echo asked apt; }
build_cached false && echo cached
fetch_sources && recipe=2 fetch_sources)sh"),
              "built\nterms\nlgpl\nfoo            1.2-2\ncached\nasked apt\nexit 0\n");
}

// The same compiler finds the same libraries; another version of it (a
// fake compiler on the PATH, updated in place) builds them again.
TEST(DebianSources, TheCacheKeyFollowsTheCompilersVersion) {
    EXPECT_EQ(runWithSources(R"sh(
mkdir bin && printf '#!/bin/sh\necho "fakecc 1.0"\n' >bin/fakecc && chmod +x bin/fakecc
PATH=$PWD/bin:$PATH library_sources=(foo) && source_version[foo]=1.2-1
key() { compiler=$(compiler_identity fakecc) && prefix_of "$(cache_key)"; }
first=$(key) again=$(key) && sed -i s/1.0/1.1/ bin/fakecc && updated=$(key)
[ "$first" = "$again" ] && [ "$first" != "$updated" ] && echo follows)sh"),
              "follows\nexit 0\n");
}
