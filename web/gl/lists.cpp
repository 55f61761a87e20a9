// Display lists. A list is compiled once into the ops it replays: the
// triangles of consecutive primitives merged into one WebGL buffer (one draw
// per glyph of the outline font), the other calls kept as they were made.
#include "state.h"

#include <cstring>

namespace kv17::gl {

namespace {

constexpr int kMostNesting = 64;            // GL_MAX_LIST_NESTING
constexpr size_t kMostAttributeDepth = 16;  // GL_MAX_ATTRIB_STACK_DEPTH

void DrawBatch(const Batch& batch) {
    if (Context* c = Current()) webgl::DrawMesh(c->MakeDrawState(), batch.mesh, batch.given);
}

// The attribute values the list has given become the current ones, as its
// attribute calls would have made them.
void ApplyGiven(unsigned given, const Vertex& values) {
    Context* c = Current();
    if (!c) return;
    if (given & kNormalGiven) std::memcpy(c->current.normal, values.normal, sizeof values.normal);
    if (given & kColorGiven) std::memcpy(c->current.color, values.color, sizeof values.color);
    if (given & kTexCoordGiven)
        std::memcpy(c->current.texCoord, values.texCoord, sizeof values.texCoord);
}

void FlushPending(ListInProgress& list) {
    if (!list.pending.indices.empty()) {
        auto batch = std::make_shared<Batch>(list.pending, list.pendingGiven);
        list.list.ops.push_back([batch] { DrawBatch(*batch); });
    }
    list.pending = Triangles{};
    if (list.given) {
        const unsigned given = list.given;
        const Vertex values = list.values;
        list.list.ops.push_back([given, values] { ApplyGiven(given, values); });
    }
}

void CallList(Context& c, GLuint name) {
    auto found = c.lists.find(name);
    if (found == c.lists.end() || c.callDepth >= kMostNesting) return;
    // Held while it runs, whatever the ops do to the list's name.
    std::shared_ptr<DisplayList> list = found->second;
    ++c.callDepth;
    for (const auto& op : list->ops) op();
    --c.callDepth;
}

void CallListsNow(const std::vector<GLuint>& offsets) {
    Context* c = Current();
    if (!c) return;
    for (GLuint offset : offsets) CallList(*c, c->listBase + offset);
}

}  // namespace

Batch::Batch(const Triangles& triangles, unsigned given)
    : mesh(webgl::NewMesh(triangles.vertices.data(), triangles.vertices.size(),
                          triangles.indices.data(), triangles.indices.size())),
      given(given) {}

Batch::~Batch() { webgl::DeleteMesh(mesh); }

void RecordOp(Context& c, std::function<void()> op) {
    ListInProgress& list = *c.compiling;
    FlushPending(list);
    if (op) list.list.ops.push_back(std::move(op));
}

}  // namespace kv17::gl

using namespace kv17::gl;

extern "C" {

GLuint glGenLists(GLsizei range) {
    Context* c = Current();
    if (!c || range <= 0) return 0;
    // The first run of `range` names that no list uses.
    GLuint base = c->nextListName;
    for (auto used = c->lists.lower_bound(base);
         used != c->lists.end() && used->first < base + (GLuint)range;
         used = c->lists.lower_bound(base))
        base = used->first + 1;
    c->nextListName = base + (GLuint)range;
    return base;
}

void glDeleteLists(GLuint list, GLsizei range) {
    Context* c = Current();
    if (!c || range < 0) return;
    c->lists.erase(c->lists.lower_bound(list), c->lists.lower_bound(list + (GLuint)range));
}

void glNewList(GLuint list, GLenum mode) {
    Context* c = Current();
    if (!c || list == 0 || mode != GL_COMPILE || c->compiling || c->inBeginEnd) return;
    c->compiling = std::make_unique<ListInProgress>();
    c->compiling->name = list;
}

void glEndList(void) {
    Context* c = Current();
    if (!c || !c->compiling || c->inBeginEnd) return;
    FlushPending(*c->compiling);
    c->lists[c->compiling->name] = std::make_shared<DisplayList>(std::move(c->compiling->list));
    c->compiling.reset();
}

void glListBase(GLuint base) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glListBase(base); })) return;
    c->listBase = base;
}

void glCallLists(GLsizei n, GLenum type, const GLvoid* lists) {
    Context* c = Current();
    if (!c || n <= 0 || !lists) return;
    std::vector<GLuint> offsets((size_t)n);
    if (type == GL_UNSIGNED_BYTE) {
        const GLubyte* bytes = static_cast<const GLubyte*>(lists);
        for (size_t i = 0; i < offsets.size(); ++i) offsets[i] = bytes[i];
    } else if (type == GL_UNSIGNED_INT) {
        std::memcpy(offsets.data(), lists, offsets.size() * sizeof(GLuint));
    } else {
        return;
    }
    // Recorded with its offsets: the list base applies when the call runs.
    if (Recorded(*c, [offsets] { CallListsNow(offsets); })) return;
    CallListsNow(offsets);
}

void glPushAttrib(GLbitfield mask) {
    Context* c = Current();
    if (!c || Recorded(*c, [=] { glPushAttrib(mask); })) return;
    if (c->attributeStack.size() < kMostAttributeDepth)
        c->attributeStack.push_back({mask, c->listBase});
}

void glPopAttrib(void) {
    Context* c = Current();
    if (!c || Recorded(*c, [] { glPopAttrib(); })) return;
    if (c->attributeStack.empty()) return;
    const auto [mask, listBase] = c->attributeStack.back();
    c->attributeStack.pop_back();
    if (mask & GL_LIST_BIT) c->listBase = listBase;
}

}  // extern "C"
