// Inner records of the in-memory back end, shared by headless.cpp and its
// probe.
#pragma once

#include "toolkit.h"

#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace headless {

struct Control {
    ControlKind kind = ToggleButton;
    int parent = 0;
    int x = 0, y = 0, width = 0, height = 0;
    Text caption;
    Text edit;
    Text toolTip;
    std::vector<Text> items;
    int selected = -1;
    bool down = false;
    bool enabled = true;
};

struct Field {
    Text text;
    int flags = 0;
    bool hasProgress = false;
    int value = 0, minimum = 0, maximum = 0;
};

struct State {
    bool initialised = false;
    uint32_t tick = 0;
    int windowNumber = -1;
    bool windowOpen = false;
    Text title;
    int clientWidth = 0, clientHeight = 0;
    int statusBarNumber = -1;
    bool statusBar = false;
    std::vector<int> fieldEdges;
    std::vector<Field> fields;
    std::map<int, Control> controls;
    std::vector<int> creationOrder;
    int focus = -1;
    int viewNumber = -1;
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    int viewPicture = -1;
    int paintCount = 0;
    std::deque<std::function<int()>> events;
};

extern State state;
Control* Find(int number);
// Queues an event; PollEvent takes one at a time and returns its code.
void Post(std::function<int()> event);
void Trace(const std::string& entry);

} // namespace headless
