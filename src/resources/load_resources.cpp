#include "resources/load_resources.h"

#include <GL/gl.h>
#include <SDL.h>
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "image/jpeg_texture.h"
#include "image/png_texture.h"
#include "platform/message_box.h"
#include "platform/quit.h"
#include "platform/view.h"
#include "platform/window.h"
#include "resources/demo_state.h"
#include "resources/picture_prefetch.h"

void loadResources(SDL_Window* window) {
    int width = 0, height = 0;
    SDL_GetWindowSize(window, &width, &height);
    initRendering(window, width, height);
    loadTexturesAndModels();
}

void initRendering(SDL_Window* window, int width, int height) {
    if (!setupPixelFormat(window)) postQuitMessage(0);
    initContextState(width, height);
}

void initContextState(int width, int height) {
    initView(width, height);
    if (!demo.sphereQuadric) demo.sphereQuadric = makeSphereQuadric();
}

// The demo cannot play without its backdrops: a JPEG that cannot be opened
// ends the run after its box, a damaged one with libjpeg's message, both with
// exit code 1 and the desktop's mode given back by the window's exit handler.
static JpegImage takeJpegOrEndRun(const char* file, JpegRead& read) {
    if (!read.opened) {
        showMessageBox("Unable to load JPG File!", "Error", mainWindowHandle());
        std::exit(1);
    }
    if (!read.decoded) {
        std::fprintf(stderr, "%s: %s\n", file, read.error.c_str());
        std::exit(1);
    }
    return std::move(read.image);
}

// Scale, normals, mirroring and texture of a container's first mesh, when it has one.
static void prepareFirstMesh(tegn3d& model, float factor, bool mirror, uint32_t texture) {
    if (model.meshCount < 1) return;
    Mesh* mesh = model.meshes[0];
    mesh->scale(factor);
    mesh->computeNormals();
    if (mirror) mesh->negate();
    mesh->setTexture(texture);
}

void loadTexturesAndModels() {
    // The pictures are decoded ahead by workers; the textures are made here
    // in the fixed order, and a missing or damaged JPEG ends the run at its
    // own turn with every earlier texture made and nothing after it.
    PicturePrefetch& pictures = picturePrefetch();
    for (int slot = 0; slot < jpegFileCount; slot++) {
        const JpegImage image = takeJpegOrEndRun(jpegFiles[slot], pictures.takeJpeg(slot));
        makeJpegTexture(demo.jpegTextures, slot, image);
    }

    for (int slot = 0; slot < pngFileCount; slot++) {
        PrefetchedPng& png = pictures.takePng(slot);
        demo.pngTextures.*pngFiles[slot].slot =
            pngBindImage(png.decoded ? &png.image : nullptr, PNG_NOMIPMAP, nullptr, GL_REPEAT,
                         GL_LINEAR, GL_LINEAR);
        png.image = PngImage(); // its memory goes as soon as the texture holds it
    }
    endPictureDecoding();

    const uint32_t blue = demo.jpegTextures[2];
    demo.tunnelModel.loadFromFile(objectPath(Model::tunnel));
    prepareFirstMesh(demo.tunnelModel, 0.2f, true, blue);

    demo.bicubeModel.loadFromFile(objectPath(Model::bicube));
    prepareFirstMesh(demo.bicubeModel, 0.2f, true, blue);

    demo.cubeModel.loadFromFile(objectPath(Model::room));
    for (int i = 0; i < demo.cubeModel.meshCount; i++) {
        demo.cubeModel.meshes[i]->scale(0.1f);
        demo.cubeModel.meshes[i]->computeNormals();
    }
    for (int i = 0; i < demo.cubeModel.meshCount && i < 6; i++)
        demo.cubeModel.meshes[i]->setTexture(demo.pngTextures.vegg);

    demo.ballModelPlain.loadFromFile(objectPath(Model::ball));
    prepareFirstMesh(demo.ballModelPlain, 0.15f, false, 0);

    demo.ballModelTextured.loadFromFile(objectPath(Model::ball));
    prepareFirstMesh(demo.ballModelTextured, 0.15f, false, blue);
}
