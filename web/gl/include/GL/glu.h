// The GLU calls the demo and its platform make, and nothing more:
//   gluPerspective      GLU's projection, multiplied onto the current matrix
//   gluBuild2DMipmaps   GL_TEXTURE_2D, 3 components (or GL_RGB), GL_RGB /
//                       GL_UNSIGNED_BYTE; any size, scaled to powers of two
//                       as GLU scales it; returns 0 or a GLU error
//   the tessellator     GLU's own (libtess from the GLU sources), the calls
//                       the glyph outlines need
#pragma once

#include <GL/gl.h>

#define GLU_INVALID_ENUM 100900
#define GLU_INVALID_VALUE 100901
#define GLU_OUT_OF_MEMORY 100902

// Tessellator callbacks, properties and winding rules
#define GLU_TESS_BEGIN_DATA 100106
#define GLU_TESS_VERTEX_DATA 100107
#define GLU_TESS_END_DATA 100108
#define GLU_TESS_ERROR_DATA 100109
#define GLU_TESS_COMBINE_DATA 100111
#define GLU_TESS_WINDING_RULE 100140
#define GLU_TESS_WINDING_ODD 100130
#define GLU_TESS_WINDING_NONZERO 100131
#define GLU_TESS_WINDING_POSITIVE 100132
#define GLU_TESS_WINDING_NEGATIVE 100133
#define GLU_TESS_WINDING_ABS_GEQ_TWO 100134

#ifdef __cplusplus
extern "C" {
#endif

typedef struct GLUtesselator GLUtesselator;
typedef void (*_GLUfuncptr)(void);

void gluPerspective(GLdouble fovy, GLdouble aspect, GLdouble zNear, GLdouble zFar);
GLint gluBuild2DMipmaps(GLenum target, GLint internalFormat, GLsizei width, GLsizei height,
                        GLenum format, GLenum type, const void* data);

GLUtesselator* gluNewTess(void);
void gluDeleteTess(GLUtesselator* tess);
void gluTessCallback(GLUtesselator* tess, GLenum which, _GLUfuncptr callback);
void gluTessProperty(GLUtesselator* tess, GLenum which, GLdouble data);
void gluTessNormal(GLUtesselator* tess, GLdouble x, GLdouble y, GLdouble z);
void gluTessBeginPolygon(GLUtesselator* tess, GLvoid* data);
void gluTessBeginContour(GLUtesselator* tess);
void gluTessVertex(GLUtesselator* tess, GLdouble* location, GLvoid* data);
void gluTessEndContour(GLUtesselator* tess);
void gluTessEndPolygon(GLUtesselator* tess);

#ifdef __cplusplus
}
#endif
