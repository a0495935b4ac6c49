#pragma once

#include <memory>

namespace ui {
class Canvas;
class Screen;
}

// Puts a new canvas with root as its root screen into canvas and shows it;
// returns whether its window got exposed.
bool showOnCanvas(std::unique_ptr<ui::Canvas>& canvas, ui::Screen* root);
