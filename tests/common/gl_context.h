// Whether an OpenGL context of a given format can be made here, and the guard
// the OpenGL tests open with.
#pragma once

#include <QOffscreenSurface>
#include <QOpenGLContext>
#include <QSurfaceFormat>

inline bool GlContextAvailable(const QSurfaceFormat& format) {
    QOpenGLContext context;
    context.setFormat(format);
    if (!context.create()) return false;
    QOffscreenSurface surface;
    surface.setFormat(context.format());
    surface.create();
    return surface.isValid() && context.makeCurrent(&surface);
}

// Under CTest (VORTN_REQUIRE_GL set) a missing context is a failure, not a skip.
#define REQUIRE_GL_CONTEXT(format)                                                 \
    if (!GlContextAvailable(format)) {                                             \
        if (!qgetenv("VORTN_REQUIRE_GL").isEmpty()) FAIL() << "no OpenGL context"; \
        GTEST_SKIP() << "no OpenGL context can be made here (run under xvfb-run)"; \
    }
