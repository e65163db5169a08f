// Extras of the in-memory back end, for tests that drive the program pass by
// pass: a settable clock, a record of the calls that matter, and hooks.
#pragma once

#include "toolkit.h"

#include <functional>
#include <string>
#include <vector>

namespace headless {

// Forgets every object and record; the clock goes back to start.
void Reset(uint32_t startTick = 1000);

// The clock: TickCount returns it; Delay advances it by its argument.
void SetTick(uint32_t tick);
void AdvanceTick(uint32_t milliseconds);

// Every Delay call's argument, in order.
const std::vector<int>& Delays();
void ClearDelays();

// Every ShowPicture call's picture number, in order.
const std::vector<int>& ShownPictures();
void ClearShownPictures();

// A trace of calls on the canvas: "begin 4", "end", "show 3", "copy 4 3",
// "create 4". Recorded only while enabled.
void TraceCanvas(bool on);
const std::vector<std::string>& CanvasTrace();
void ClearCanvasTrace();

// Every ShowMessage call, with the state of the controls at that moment seen
// through onMessage, which runs while the box is "open".
struct Message {
    Text title;
    Text text;
};
const std::vector<Message>& Messages();
extern std::function<void(const Message&)> onMessage;

// Runs at the start of every PollEvent call, before the event is taken.
extern std::function<void()> onPollEvent;

// Calls counted since Reset.
int PollEventCalls();

// Every StatusText/StatusProgress call as text, in order, e.g.
// "text 0 0 FPS 4" or "progress 4 0 0 10".
const std::vector<std::string>& StatusCalls();
void ClearStatusCalls();

// Make the next CreateStatusBar fail.
void FailStatusBar(bool fail);

} // namespace headless
