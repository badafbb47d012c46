// Object files: the reader against the writer, and every kind of bad file.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "mesh/object_file.h"
#include "mesh/tegn3d.h"
#include "platform/message_box.h"

struct BoxCall {
    std::string text, caption;
    SDL_Window* owner;
};
static std::vector<BoxCall> boxes;
static void recordBox(const char* text, const char* caption, SDL_Window* owner) {
    boxes.push_back({text, caption, owner});
}

class ObjectFileTest : public ::testing::Test {
  protected:
    std::string dir;
    void SetUp() override {
        char name[] = "/tmp/quarnel-ebr-XXXXXX";
        ASSERT_NE(mkdtemp(name), nullptr);
        dir = name;
        boxes.clear();
        setMessageBoxHandler(recordBox);
    }
    void TearDown() override {
        setMessageBoxHandler(nullptr);
        std::filesystem::remove_all(dir);
    }
    std::string writeBytes(const std::vector<uint8_t>& bytes) {
        std::string path = dir + "/f" + std::to_string(fileNumber++) + ".ebr";
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!bytes.empty()) std::fwrite(bytes.data(), 1, bytes.size(), f); // data() may be null
        std::fclose(f);
        return path;
    }
    int fileNumber = 0;
};

static void putInt(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; i++)
        bytes[at + i] = uint8_t(value >> (8 * i));
}

static ObjectMesh triangleMesh(float x) {
    ObjectMesh mesh;
    mesh.vertices = {{x, 0, 0, 0.25f, 0.75f}, {x + 1, 0, 0, 0, 0}, {x, 1, -2, 1, 0.5f}};
    mesh.triangles = {{0, 1, 2}};
    return mesh;
}

TEST_F(ObjectFileTest, EmptyFileOfMeshesLoads) {
    tegn3d model;
    EXPECT_TRUE(model.loadFromFile(writeBytes(encodeObjectFile({})).c_str()));
    EXPECT_EQ(model.meshCount, 0);
    EXPECT_TRUE(model.meshes.empty());
    EXPECT_TRUE(boxes.empty());
}

// Block sizes are 12 + M + 20V + 12T: a mis-step in any term shifts the
// following block, which then reads as different numbers.
TEST_F(ObjectFileTest, BlocksFollowEachOtherExactly) {
    ObjectMesh empty;
    empty.ignoredBlock = {1, 2, 3, 4, 5, 6, 7};
    ObjectMesh first = triangleMesh(10);
    first.ignoredBlock = std::vector<uint8_t>(33, 0xAB);
    ObjectMesh second = triangleMesh(20);
    second.vertices.push_back({7, 8, 9, 0.5f, 0.5f});
    second.triangles.push_back({3, 2, 1});

    std::vector<uint8_t> bytes = encodeObjectFile({empty, first, second});
    bytes.insert(bytes.end(), {0xFF, 0xFF, 0xFF, 0xFF, 9}); // trailing bytes are never read
    tegn3d model;
    ASSERT_TRUE(model.loadFromFile(writeBytes(bytes).c_str()));
    ASSERT_EQ(model.meshCount, 3);
    ASSERT_EQ(model.meshes.size(), 3u);

    const Mesh& a = *model.meshes[0];
    EXPECT_EQ(a.vertexCount, 0);
    EXPECT_EQ(a.triangleCount, 0);
    EXPECT_EQ(a.normalCount, 0);
    EXPECT_EQ(a.texCoordCount, 0);

    const Mesh& b = *model.meshes[1];
    EXPECT_EQ(b.vertexCount, 3);
    EXPECT_EQ(b.normalCount, 3);
    EXPECT_EQ(b.texCoordCount, 3);
    EXPECT_TRUE(b.vertices[0] == Vec3(10, 0, 0));
    EXPECT_TRUE(b.vertices[2] == Vec3(10, 1, -2));

    const Mesh& c = *model.meshes[2];
    ASSERT_EQ(c.vertexCount, 4);
    ASSERT_EQ(c.triangleCount, 2);
    EXPECT_TRUE(c.vertices[0] == Vec3(20, 0, 0));
    EXPECT_TRUE(c.vertices[3] == Vec3(7, 8, 9));
    EXPECT_EQ(c.triangles[1].corner[0], 3u);
    EXPECT_EQ(c.triangles[1].corner[1], 2u);
    EXPECT_EQ(c.triangles[1].corner[2], 1u);

    for (const Mesh* mesh : model.meshes) {
        EXPECT_EQ(mesh->texture, 0u);
        for (int i = 0; i < mesh->normalCount; i++)
            EXPECT_TRUE(mesh->normals[i] == Vec3());
    }
}

TEST_F(ObjectFileTest, FirstTextureCoordinateIsMirrored) {
    tegn3d model;
    ASSERT_TRUE(model.loadFromFile(writeBytes(encodeObjectFile({triangleMesh(0)})).c_str()));
    const TexCoord* t = model.meshes[0]->texCoords.data();
    EXPECT_EQ(t[0].s, 0.75f);
    EXPECT_EQ(t[0].t, 0.75f);
    EXPECT_EQ(t[1].s, 1.0f);
    EXPECT_EQ(t[1].t, 0.0f);
    EXPECT_EQ(t[2].s, 0.0f);
    EXPECT_EQ(t[2].t, 0.5f);
}

// Whatever the writer puts in, the reader gives back (with s = 1 - u).
TEST_F(ObjectFileTest, WriterAndReaderAgree) {
    std::vector<ObjectMesh> written;
    for (int m = 0; m < 3; m++) {
        ObjectMesh mesh;
        for (int i = 0; i < 50 + 10 * m; i++)
            mesh.vertices.push_back(
                {i * 0.5f, -i * 0.25f + m, float(i % 7), (i % 4) * 0.25f, (i % 5) * 0.2f});
        for (uint32_t i = 0; i + 2 < mesh.vertices.size(); i++)
            mesh.triangles.push_back({i, i + 2, i + 1});
        mesh.ignoredBlock.assign(size_t(m) * 5, uint8_t(m));
        written.push_back(mesh);
    }
    const std::string path = dir + "/round.ebr";
    ASSERT_TRUE(writeObjectFile(path, written));

    tegn3d model;
    ASSERT_TRUE(model.loadFromFile(path.c_str()));
    ASSERT_EQ(model.meshCount, 3);
    for (int m = 0; m < 3; m++) {
        const Mesh& mesh = *model.meshes[m];
        const ObjectMesh& source = written[m];
        ASSERT_EQ(size_t(mesh.vertexCount), source.vertices.size());
        ASSERT_EQ(size_t(mesh.triangleCount), source.triangles.size());
        for (size_t i = 0; i < source.vertices.size(); i++) {
            const ObjectVertex& v = source.vertices[i];
            EXPECT_TRUE(mesh.vertices[i] == Vec3(v.x, v.y, v.z));
            EXPECT_EQ(mesh.texCoords[i].s, 1.0f - v.u);
            EXPECT_EQ(mesh.texCoords[i].t, v.v);
        }
        for (size_t i = 0; i < source.triangles.size(); i++)
            for (int k = 0; k < 3; k++)
                EXPECT_EQ(mesh.triangles[i].corner[k], source.triangles[i][k]);
    }
}

TEST_F(ObjectFileTest, ReloadReplacesTheMeshes) {
    tegn3d model;
    ASSERT_TRUE(model.loadFromFile(
        writeBytes(encodeObjectFile({triangleMesh(1), triangleMesh(2)})).c_str()));
    ASSERT_TRUE(model.loadFromFile(writeBytes(encodeObjectFile({triangleMesh(5)})).c_str()));
    ASSERT_EQ(model.meshCount, 1);
    ASSERT_EQ(model.meshes.size(), 1u);
    EXPECT_TRUE(model.meshes[0]->vertices[0] == Vec3(5, 0, 0));
    model.clear();
    EXPECT_EQ(model.meshCount, 0);
    EXPECT_TRUE(model.meshes.empty());
}

// A good file as it is loaded before each bad one: two meshes, 3 vertices
// and 1 triangle each. Offsets: meshcnt 0; first block at 4, its vertices
// at 16, its triangle at 76; second block at 88.
static std::vector<uint8_t> goodBytes() {
    return encodeObjectFile({triangleMesh(1), triangleMesh(2)});
}

TEST_F(ObjectFileTest, BadFilesAreRefusedAndChangeNothing) {
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
    };
    std::vector<Case> cases;
    auto patched = [](size_t at, uint32_t value) {
        std::vector<uint8_t> bytes = goodBytes();
        putInt(bytes, at, value);
        return bytes;
    };
    auto cut = [](size_t length) {
        std::vector<uint8_t> bytes = goodBytes();
        bytes.resize(length);
        return bytes;
    };
    cases.push_back({"empty file", {}});
    cases.push_back({"short mesh count", {1, 0}});
    cases.push_back({"negative mesh count", patched(0, uint32_t(-1))});
    cases.push_back({"mesh count beyond the file", patched(0, 0x7FFFFFFF)});
    cases.push_back({"one mesh too many", patched(0, 3)});
    cases.push_back({"negative vertex count", patched(4, uint32_t(-3))});
    cases.push_back({"negative triangle count", patched(8, uint32_t(-1))});
    cases.push_back({"negative ignored length", patched(12, uint32_t(-4))});
    cases.push_back({"vertex count whose size overflows", patched(4, 0x7FFFFFFF)});
    cases.push_back({"vertex count 2^30", patched(4, 0x40000000)});
    cases.push_back({"triangle count beyond the file", patched(8, 1000)});
    cases.push_back({"ignored length beyond the file", patched(12, 500)});
    cases.push_back({"corner equal to the vertex count", patched(76 + 4, 3)});
    cases.push_back({"corner with the top bit set", patched(88 + 12 + 60 + 8, 0xFFFFFFFF)});
    cases.push_back({"file ends in the vertices", cut(88 + 12 + 30)});
    cases.push_back({"file ends in the last triangle", cut(goodBytes().size() - 1)});
    cases.push_back({"file ends after a block header", cut(88 + 12)});

    tegn3d model;
    ASSERT_TRUE(model.loadFromFile(writeBytes(goodBytes()).c_str()));
    const std::vector<Mesh*> before = model.meshes;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        boxes.clear();
        EXPECT_FALSE(model.loadFromFile(writeBytes(c.bytes).c_str()));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Unable to open object file");
        EXPECT_EQ(boxes[0].caption, "tegn3d::loadFromFile");
        EXPECT_EQ(boxes[0].owner, nullptr);
        EXPECT_EQ(model.meshCount, 2);
        EXPECT_EQ(model.meshes, before);
        EXPECT_TRUE(model.meshes[1]->vertices[0] == Vec3(2, 0, 0));
    }
}

TEST_F(ObjectFileTest, MissingFileOrFolderIsRefused) {
    tegn3d model;
    for (const std::string& path : {dir + "/nothing.ebr", dir}) {
        SCOPED_TRACE(path);
        boxes.clear();
        EXPECT_FALSE(model.loadFromFile(path.c_str()));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, "Unable to open object file");
        EXPECT_EQ(boxes[0].caption, "tegn3d::loadFromFile");
        EXPECT_EQ(model.meshCount, 0);
        EXPECT_TRUE(model.meshes.empty());
    }
}
