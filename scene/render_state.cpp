#include "render_state.h"

#include "bitmap_loader.h"
#include "outline_font.h"
#include "scene_state.h"

#include <GL/glu.h>

#include <cstdio>

const GLfloat lightAmbient[4] = {0.5f, 0.5f, 0.5f, 1.0f};
const GLfloat lightDiffuse[4] = {1.0f, 1.0f, 1.0f, 1.0f};
// Positional (w = 1), given while the modelview matrix is the identity: two
// units behind the eye.
const GLfloat lightPosition[4] = {0.0f, 0.0f, 2.0f, 1.0f};

namespace {

const char kTexturePath[] = "Data/texture.bmp";

// Internal format 3: three components, as GL 1.0 named it.
constexpr GLint kRgbComponents = 3;

void UploadFiltered(GLuint texture, GLint filter, const RgbImage& image) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexImage2D(GL_TEXTURE_2D, 0, kRgbComponents, image.width, image.height, 0, GL_RGB,
                 GL_UNSIGNED_BYTE, image.pixels);
}

void UploadMipmapped(GLuint texture, const RgbImage& image) {
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    gluBuild2DMipmaps(GL_TEXTURE_2D, kRgbComponents, image.width, image.height, GL_RGB,
                      GL_UNSIGNED_BYTE, image.pixels);
}

}  // namespace

bool LoadTextures() {
    RgbImage* image = LoadBitmapFile(kTexturePath);
    if (!image) {
        // The message box, if any, gives the demo's fixed text; this line
        // says which file and why, for whoever reads the terminal or a log.
        std::fprintf(stderr, "%s: %s\n", kTexturePath, BitmapFailureReason());
        return false;
    }

    glGenTextures(3, textures);
    // NOTE: RgbImage rows are unpadded; GL's default alignment of 4 would
    // skew every width whose row is not a multiple of 4 bytes.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    UploadFiltered(textures[0], GL_NEAREST, *image);
    UploadFiltered(textures[1], GL_LINEAR, *image);
    UploadMipmapped(textures[2], *image);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);

    FreeRgbImage(image);
    return true;
}

bool InitScene() {
    if (!LoadTextures()) return false;

    glEnable(GL_TEXTURE_2D);
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 0.5f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);

    glLightfv(GL_LIGHT1, GL_AMBIENT, lightAmbient);
    glLightfv(GL_LIGHT1, GL_DIFFUSE, lightDiffuse);
    glLightfv(GL_LIGHT1, GL_POSITION, lightPosition);
    glEnable(GL_LIGHT1);

    // The font's outcome is not examined: a missing face leaves empty lists.
    BuildOutlineFont();
    return true;
}
