// What the platform asks of the page around it (web/page/page.js). The
// waiting calls suspend the program, stack and all, until the page answers;
// only code called straight from the entry point, never through a pointer,
// may make them (the link instruments just those paths).
#pragma once

namespace kv17::page {

// The page's answer to a message box: IDOK, IDYES or IDNO.
int AskInDialog(const char* caption, const char* text, unsigned flags);

// Full screen for the canvas, the picture scaled to fit with its aspect
// kept. False when the browser refuses (no user gesture, no permission).
bool EnterFullScreen();
void LeaveFullScreen();

// After a frame was drawn: returns when the next one is due, at most 60 a
// second on the display's pace, or at once in a link that names a frame.
void WaitForNextFrame();

// Shows the frame just drawn and marks the canvas with its number. It does
// not return: the page holds the moment its link named.
void HoldFrame(int frame);

// The page reads drawn frames back (a link that names a frame).
bool KeepsFrames();
// The browser gave no WebGL context: the page says why once the run ends.
void TellNoContext();
// The run is over: the page says so and offers to run it again.
void TellEnded(int exitCode);
// The link's frame or keys cannot be read: the page says why and runs nothing.
void TellBadLink(const char* why);

}  // namespace kv17::page
