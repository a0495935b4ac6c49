#pragma once

class QWidget;

// A finger swipe across the middle of a shown top-level widget: right to
// left (toNext) or left to right, routed like real mouse input.
void swipeAcross(QWidget* window, bool toNext);
