// The serial devices of a Linux system, in the order PortCombo offers them:
//   1. ports published by running virtual boards (kurvomat-board): links in
//      /tmp/kurvomat-ports named by the board's process id, to the board's
//      pseudo-terminal; a link whose process is gone is passed over;
//   2. USB adapters and USB boards: /dev/ttyUSB*, then /dev/ttyACM*;
//   3. other USB serial devices named in /dev/serial/by-id, by the device
//      each link leads to;
//   4. on-board ports /dev/ttyS* with hardware behind them: the kernel's
//      port type (/sys/class/tty/ttySn/type) is not 0, or, where there is no
//      type, the port's device is not the bare serial8250 platform device
//      that stands for ports that are not there.
// Each group is sorted naturally (ttyUSB2 before ttyUSB10); a device is listed
// once. Every path is looked up below root, so a test can lay out a tree of
// its own; the paths returned are the system's ("/dev/ttyUSB0").
#include "serial.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

const char* const BoardPortDirectory = "/tmp/kurvomat-ports";
const int LinkHopLimit = 40;

// ttyUSB2 before ttyUSB10: runs of digits compare by their value.
bool NaturalLess(const std::string& a, const std::string& b) {
    size_t i = 0, j = 0;
    while (i < a.size() && j < b.size()) {
        if (isdigit(static_cast<unsigned char>(a[i])) &&
            isdigit(static_cast<unsigned char>(b[j]))) {
            size_t endA = i, endB = j;
            while (endA < a.size() && isdigit(static_cast<unsigned char>(a[endA])))
                ++endA;
            while (endB < b.size() && isdigit(static_cast<unsigned char>(b[endB])))
                ++endB;
            size_t startA = i, startB = j;
            while (startA + 1 < endA && a[startA] == '0')
                ++startA;
            while (startB + 1 < endB && b[startB] == '0')
                ++startB;
            if (endA - startA != endB - startB)
                return endA - startA < endB - startB;
            int order = a.compare(startA, endA - startA, b, startB, endB - startB);
            if (order != 0)
                return order < 0;
            if (endA - i != endB - j)
                return endA - i < endB - j; // fewer leading zeros first
            i = endA;
            j = endB;
        } else {
            if (a[i] != b[j])
                return static_cast<unsigned char>(a[i]) < static_cast<unsigned char>(b[j]);
            ++i;
            ++j;
        }
    }
    return a.size() - i < b.size() - j;
}

bool AllDigits(const std::string& text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) {
        return isdigit(static_cast<unsigned char>(c)) != 0;
    });
}

class DeviceTree {
  public:
    explicit DeviceTree(const std::string& root) : base(root.empty() ? "/" : root) {}

    // Where a system path lies below root.
    fs::path Inside(const fs::path& systemPath) const { return base / systemPath.relative_path(); }

    // Follows the links of a system path, absolute targets counting from
    // root; the system path reached, or empty if the chain is broken, too
    // long, or ends in nothing or in a directory.
    fs::path Resolve(fs::path systemPath) const {
        std::error_code error;
        for (int hop = 0; hop < LinkHopLimit; ++hop) {
            fs::path place = Inside(systemPath);
            if (!fs::is_symlink(fs::symlink_status(place, error)))
                break;
            fs::path target = fs::read_symlink(place, error);
            if (error)
                return fs::path();
            systemPath = (target.is_absolute() ? target : systemPath.parent_path() / target)
                             .lexically_normal();
        }
        fs::file_status status = fs::symlink_status(Inside(systemPath), error);
        if (error || !fs::exists(status) || fs::is_directory(status) || fs::is_symlink(status))
            return fs::path();
        return systemPath;
    }

    // The names in a system directory, sorted naturally.
    std::vector<std::string> Names(const fs::path& systemDirectory) const {
        std::vector<std::string> names;
        std::error_code error;
        fs::directory_iterator entries(Inside(systemDirectory), error);
        if (error)
            return names;
        for (const fs::directory_entry& entry : entries)
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end(), NaturalLess);
        return names;
    }

    // The first line of a small file, or false if it cannot be read.
    bool ReadLine(const fs::path& systemPath, std::string* line) const {
        std::ifstream file(Inside(systemPath));
        return file && std::getline(file, *line);
    }

  private:
    fs::path base;
};

bool HasPrefixAndNumber(const std::string& name, const std::string& prefix) {
    return name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0 &&
           AllDigits(name.substr(prefix.size()));
}

// An on-board port ttySn with a real UART behind it.
bool HasHardware(const DeviceTree& tree, const std::string& name) {
    fs::path sysfs = fs::path("/sys/class/tty") / name;
    std::string type;
    if (tree.ReadLine(sysfs / "type", &type)) {
        char* end = nullptr;
        long value = strtol(type.c_str(), &end, 10);
        return end != type.c_str() && value != 0;
    }
    std::error_code error;
    fs::path device = tree.Inside(sysfs / "device");
    if (!fs::exists(fs::symlink_status(device, error)))
        return false;
    fs::path target = fs::is_symlink(fs::symlink_status(device, error))
                          ? fs::read_symlink(device, error)
                          : fs::canonical(device, error);
    if (error)
        return false;
    return target.lexically_normal().filename() != "serial8250";
}

} // namespace

std::vector<std::string> ListSerialDevices(const std::string& root) {
    DeviceTree tree(root);
    std::vector<std::string> devices;
    std::set<std::string> listed;
    auto offer = [&](const fs::path& systemPath) {
        std::string path = systemPath.string();
        if (!path.empty() && listed.insert(path).second)
            devices.push_back(path);
    };

    // 1. Virtual boards, by their published links.
    std::vector<std::string> boards;
    for (const std::string& name : tree.Names(BoardPortDirectory)) {
        std::error_code error;
        if (!AllDigits(name) || !fs::is_directory(tree.Inside(fs::path("/proc") / name), error))
            continue;
        fs::path device = tree.Resolve(fs::path(BoardPortDirectory) / name);
        if (!device.empty())
            boards.push_back(device.string());
    }
    std::sort(boards.begin(), boards.end(), NaturalLess);
    for (const std::string& board : boards)
        offer(board);

    // 2. USB adapters, then USB boards.
    std::vector<std::string> devNames = tree.Names("/dev");
    for (const char* prefix : {"ttyUSB", "ttyACM"})
        for (const std::string& name : devNames)
            if (HasPrefixAndNumber(name, prefix))
                offer(tree.Resolve(fs::path("/dev") / name));

    // 3. Further USB serial devices known by id.
    std::vector<std::string> byId;
    for (const std::string& name : tree.Names("/dev/serial/by-id")) {
        fs::path device = tree.Resolve(fs::path("/dev/serial/by-id") / name);
        if (!device.empty())
            byId.push_back(device.string());
    }
    std::sort(byId.begin(), byId.end(), NaturalLess);
    for (const std::string& device : byId)
        offer(device);

    // 4. On-board ports with hardware.
    for (const std::string& name : devNames)
        if (HasPrefixAndNumber(name, "ttyS") && HasHardware(tree, name))
            offer(tree.Resolve(fs::path("/dev") / name));
    return devices;
}
