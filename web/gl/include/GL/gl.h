// The OpenGL 1.1 the demo and its platform call, and nothing more, drawn
// with WebGL 1 by web/gl. A name missing here is missing on purpose: code
// that needs it fails to compile or link instead of drawing wrongly.
//
// Supported, with GL 1.1's meaning:
//   state      glEnable / glDisable: GL_TEXTURE_2D, GL_DEPTH_TEST, GL_BLEND,
//              GL_LIGHTING, GL_LIGHT1; glClearColor, glClearDepth, glClear,
//              glDepthFunc, glBlendFunc, glShadeModel (GL_SMOOTH, the only
//              model), glHint (accepted, changes nothing), glViewport, glFlush
//   matrices   glMatrixMode (GL_MODELVIEW, GL_PROJECTION), glLoadIdentity,
//              glPushMatrix / glPopMatrix (32 and 2 deep), glTranslatef,
//              glRotatef
//   vertices   glBegin / glEnd with GL_TRIANGLES, GL_TRIANGLE_STRIP,
//              GL_TRIANGLE_FAN, GL_QUADS, GL_QUAD_STRIP, GL_POLYGON;
//              glVertex3f, glNormal3f, glColor3f, glColor4f, glTexCoord2f
//   lists      glGenLists, glDeleteLists, glNewList (GL_COMPILE), glEndList,
//              glListBase, glCallLists (GL_UNSIGNED_BYTE, GL_UNSIGNED_INT;
//              also inside a list), glPushAttrib / glPopAttrib (GL_LIST_BIT)
//   lighting   glLightfv on GL_LIGHT1: GL_AMBIENT, GL_DIFFUSE, GL_POSITION
//              (positional or directional), per vertex, with GL's default
//              material and light model; no specular term (both defaults
//              are black)
//   textures   glGenTextures, glBindTexture, glTexParameteri (the two
//              filters), glTexImage2D (level 0, internal format 3 or GL_RGB,
//              GL_RGB / GL_UNSIGNED_BYTE), glPixelStorei (GL_UNPACK_ALIGNMENT),
//              modulated by the vertex colour
//   queries    glGetFloatv (GL_MODELVIEW_MATRIX, GL_PROJECTION_MATRIX),
//              glGetIntegerv (GL_UNPACK_ALIGNMENT), glGetString (GL_VERSION)
//
// Where it differs from a desktop GL:
//   - every call made while no context is current does nothing (glGetString
//     returns null), as a desktop GL without a context;
//   - a texture whose sides are not powers of two is clamped at its edges
//     (WebGL 1 cannot repeat it) and ignores mipmap filters;
//   - GL errors are not kept: a call with a value outside these lists does
//     nothing, as GL does for GL_INVALID_ENUM, but nothing can be queried.
#pragma once

#include <stddef.h>

typedef unsigned int GLenum;
typedef unsigned int GLbitfield;
typedef unsigned int GLuint;
typedef int GLint;
typedef int GLsizei;
typedef unsigned char GLboolean;
typedef unsigned char GLubyte;
typedef float GLfloat;
typedef float GLclampf;
typedef double GLdouble;
typedef double GLclampd;
typedef void GLvoid;

#define GL_FALSE 0
#define GL_TRUE 1

// glBegin modes
#define GL_TRIANGLES 0x0004
#define GL_TRIANGLE_STRIP 0x0005
#define GL_TRIANGLE_FAN 0x0006
#define GL_QUADS 0x0007
#define GL_QUAD_STRIP 0x0008
#define GL_POLYGON 0x0009

// glEnable / glDisable
#define GL_TEXTURE_2D 0x0DE1
#define GL_DEPTH_TEST 0x0B71
#define GL_BLEND 0x0BE2
#define GL_LIGHTING 0x0B50
#define GL_LIGHT1 0x4001

// glClear
#define GL_DEPTH_BUFFER_BIT 0x00000100
#define GL_COLOR_BUFFER_BIT 0x00004000

// glDepthFunc
#define GL_NEVER 0x0200
#define GL_LESS 0x0201
#define GL_EQUAL 0x0202
#define GL_LEQUAL 0x0203
#define GL_GREATER 0x0204
#define GL_NOTEQUAL 0x0205
#define GL_GEQUAL 0x0206
#define GL_ALWAYS 0x0207

// glBlendFunc
#define GL_ZERO 0
#define GL_ONE 1
#define GL_SRC_COLOR 0x0300
#define GL_ONE_MINUS_SRC_COLOR 0x0301
#define GL_SRC_ALPHA 0x0302
#define GL_ONE_MINUS_SRC_ALPHA 0x0303
#define GL_DST_ALPHA 0x0304
#define GL_ONE_MINUS_DST_ALPHA 0x0305
#define GL_DST_COLOR 0x0306
#define GL_ONE_MINUS_DST_COLOR 0x0307
#define GL_SRC_ALPHA_SATURATE 0x0308

// glShadeModel, glHint
#define GL_SMOOTH 0x1D01
#define GL_PERSPECTIVE_CORRECTION_HINT 0x0C50
#define GL_DONT_CARE 0x1100
#define GL_FASTEST 0x1101
#define GL_NICEST 0x1102

// Matrices
#define GL_MODELVIEW 0x1700
#define GL_PROJECTION 0x1701
#define GL_MODELVIEW_MATRIX 0x0BA6
#define GL_PROJECTION_MATRIX 0x0BA7

// Display lists
#define GL_COMPILE 0x1300
#define GL_LIST_BIT 0x00020000
#define GL_UNSIGNED_BYTE 0x1401
#define GL_UNSIGNED_INT 0x1405

// Lighting
#define GL_AMBIENT 0x1200
#define GL_DIFFUSE 0x1201
#define GL_POSITION 0x1203

// Textures
#define GL_RGB 0x1907
#define GL_TEXTURE_MAG_FILTER 0x2800
#define GL_TEXTURE_MIN_FILTER 0x2801
#define GL_NEAREST 0x2600
#define GL_LINEAR 0x2601
#define GL_NEAREST_MIPMAP_NEAREST 0x2700
#define GL_LINEAR_MIPMAP_NEAREST 0x2701
#define GL_NEAREST_MIPMAP_LINEAR 0x2702
#define GL_LINEAR_MIPMAP_LINEAR 0x2703
#define GL_UNPACK_ALIGNMENT 0x0CF5

// glGetString
#define GL_VERSION 0x1F02

#ifdef __cplusplus
extern "C" {
#endif

void glEnable(GLenum cap);
void glDisable(GLenum cap);
void glClearColor(GLclampf red, GLclampf green, GLclampf blue, GLclampf alpha);
void glClearDepth(GLclampd depth);
void glClear(GLbitfield mask);
void glDepthFunc(GLenum func);
void glBlendFunc(GLenum sfactor, GLenum dfactor);
void glShadeModel(GLenum mode);
void glHint(GLenum target, GLenum mode);
void glViewport(GLint x, GLint y, GLsizei width, GLsizei height);
void glFlush(void);

void glMatrixMode(GLenum mode);
void glLoadIdentity(void);
void glPushMatrix(void);
void glPopMatrix(void);
void glTranslatef(GLfloat x, GLfloat y, GLfloat z);
void glRotatef(GLfloat angle, GLfloat x, GLfloat y, GLfloat z);

void glBegin(GLenum mode);
void glEnd(void);
void glVertex3f(GLfloat x, GLfloat y, GLfloat z);
void glNormal3f(GLfloat nx, GLfloat ny, GLfloat nz);
void glColor3f(GLfloat red, GLfloat green, GLfloat blue);
void glColor4f(GLfloat red, GLfloat green, GLfloat blue, GLfloat alpha);
void glTexCoord2f(GLfloat s, GLfloat t);

GLuint glGenLists(GLsizei range);
void glDeleteLists(GLuint list, GLsizei range);
void glNewList(GLuint list, GLenum mode);
void glEndList(void);
void glListBase(GLuint base);
void glCallLists(GLsizei n, GLenum type, const GLvoid* lists);
void glPushAttrib(GLbitfield mask);
void glPopAttrib(void);

void glLightfv(GLenum light, GLenum pname, const GLfloat* params);

void glGenTextures(GLsizei n, GLuint* textures);
void glBindTexture(GLenum target, GLuint texture);
void glTexParameteri(GLenum target, GLenum pname, GLint param);
void glTexImage2D(GLenum target, GLint level, GLint internalFormat, GLsizei width, GLsizei height,
                  GLint border, GLenum format, GLenum type, const GLvoid* pixels);
void glPixelStorei(GLenum pname, GLint param);

void glGetFloatv(GLenum pname, GLfloat* params);
void glGetIntegerv(GLenum pname, GLint* params);
const GLubyte* glGetString(GLenum name);

#ifdef __cplusplus
}
#endif
