#pragma once
// The screen's table of cursors by number: components name their cursors by
// number (the view's jump cursor is 101) and the table resolves them.
#include <QCursor>

constexpr int crDefault = 0;
constexpr int crJump = 101;

// Installs cursor under number id, replacing what was there.
void InstallCursor(int id, const QCursor& cursor);
// The cursor installed under id; the arrow cursor when none is.
QCursor ScreenCursor(int id);
// Our hand-shaped cursor for jumps (drawn in code).
QCursor MakeJumpCursor();
