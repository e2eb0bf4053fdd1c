// The program's OpenGL on WebGL (web_gl.cpp): what the web backend tells it.
#pragma once

// A WebGL context has just been made current: the drawing state starts anew.
void WebGlContextMade();
