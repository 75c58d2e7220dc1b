#pragma once
// A dialog's controls in memory. Trackbars hold positions inside their range as the
// real control does, and every call is logged so tests can check the order.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "DialogControls.h"

class FakeControls : public DialogControls {
public:
    int GetCheck(int id) const override { return Find(checks, id, 0); }
    void SetCheck(int id, int state) override {
        checks[id] = state;
        log.push_back("check " + std::to_string(id) + "=" + std::to_string(state));
    }
    int GetPos(int id) const override { return Find(positions, id, 0); }
    void SetPos(int id, int position) override {
        auto range = ranges.find(id);
        if (range != ranges.end()) {
            if (position < range->second.first) position = range->second.first;
            if (position > range->second.second) position = range->second.second;
        }
        positions[id] = position;
        log.push_back("pos " + std::to_string(id) + "=" + std::to_string(position));
    }
    void SetRange(int id, int low, int high) override {
        ranges[id] = {low, high};
        log.push_back("range " + std::to_string(id));
    }
    bool IsEnabled(int id) const override { return disabled.count(id) == 0; }
    void Enable(int id, bool enable) override {
        if (enable) disabled.erase(id); else disabled[id] = true;
    }
    void SetText(int id, const std::string& text) override { texts[id] = text; }

    std::map<int, int> checks;
    std::map<int, int> positions;
    std::map<int, std::pair<int, int>> ranges;
    std::map<int, bool> disabled;
    std::map<int, std::string> texts;
    std::vector<std::string> log;

private:
    template <typename Map>
    static int Find(const Map& map, int id, int fallback) {
        auto it = map.find(id);
        return it == map.end() ? fallback : it->second;
    }
};
