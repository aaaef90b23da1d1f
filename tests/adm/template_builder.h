// Builds plain dialog templates byte by byte, as a resource compiler lays
// them out, and serves them to the dialog manager as a module's resources.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "host/adm/plugin_environment.h"

namespace adm_test {

class TemplateBuilder {
public:
    TemplateBuilder& Dialog(std::uint32_t style, std::int16_t cx, std::int16_t cy,
                            const std::string& caption) {
        style_ = style;
        cx_ = cx;
        cy_ = cy;
        caption_ = caption;
        return *this;
    }
    TemplateBuilder& Font(std::uint16_t points, const std::string& face) {
        points_ = points;
        face_ = face;
        return *this;
    }
    // atom != 0: a predefined class; else className.
    TemplateBuilder& Item(std::uint16_t id, std::uint16_t atom, const std::string& className,
                          const std::string& text, std::int16_t x, std::int16_t y, std::int16_t cx,
                          std::int16_t cy, std::uint32_t style = 0x50010000,
                          std::vector<std::uint8_t> creationData = {}) {
        items_.push_back({id, atom, className, text, x, y, cx, cy, style, std::move(creationData)});
        return *this;
    }

    std::vector<std::uint8_t> Build() const {
        std::vector<std::uint8_t> b;
        Dword(b, style_ | (face_.empty() ? 0u : 0x40u));
        Dword(b, 0);
        Word(b, static_cast<std::uint16_t>(items_.size()));
        Word(b, 0);
        Word(b, 0);
        Word(b, static_cast<std::uint16_t>(cx_));
        Word(b, static_cast<std::uint16_t>(cy_));
        Word(b, 0);  // menu
        Word(b, 0);  // class
        String(b, caption_);
        if (!face_.empty()) {
            Word(b, points_);
            String(b, face_);
        }
        for (const auto& it : items_) {
            while (b.size() % 4) b.push_back(0);
            Dword(b, it.style);
            Dword(b, 0);
            Word(b, static_cast<std::uint16_t>(it.x));
            Word(b, static_cast<std::uint16_t>(it.y));
            Word(b, static_cast<std::uint16_t>(it.cx));
            Word(b, static_cast<std::uint16_t>(it.cy));
            Word(b, it.id);
            if (it.atom != 0) {
                Word(b, 0xFFFF);
                Word(b, it.atom);
            } else {
                String(b, it.className);
            }
            String(b, it.text);
            Word(b, static_cast<std::uint16_t>(it.creationData.size()));
            b.insert(b.end(), it.creationData.begin(), it.creationData.end());
        }
        return b;
    }

private:
    struct ItemSpec {
        std::uint16_t id, atom;
        std::string className, text;
        std::int16_t x, y, cx, cy;
        std::uint32_t style;
        std::vector<std::uint8_t> creationData;
    };
    static void Word(std::vector<std::uint8_t>& b, std::uint16_t v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    static void Dword(std::vector<std::uint8_t>& b, std::uint32_t v) {
        Word(b, static_cast<std::uint16_t>(v & 0xFFFF));
        Word(b, static_cast<std::uint16_t>(v >> 16));
    }
    static void String(std::vector<std::uint8_t>& b, const std::string& s) {
        for (unsigned char c : s) Word(b, c);
        Word(b, 0);
    }

    std::uint32_t style_ = 0x80C800C0 & ~0x40u;
    std::int16_t cx_ = 100, cy_ = 100;
    std::string caption_;
    std::uint16_t points_ = 8;
    std::string face_;
    std::vector<ItemSpec> items_;
};

// The panel-like template most tests use: two static texts, a list box of
// the custom class, two buttons, a status line.
inline std::vector<std::uint8_t> SmallPanelTemplate() {
    return TemplateBuilder()
        .Dialog(0x80C800C0 & ~0x40u, 120, 100, "Small")
        .Font(8, "MS Sans Serif")
        .Item(8, 0x0082, "", "Caption:", 4, 4, 80, 9, 0x50020000)
        .Item(18, 0, "ADM List Box Type", "Custom1", 4, 14, 110, 40)
        .Item(11, 0x0080, "", "Refresh", 4, 60, 40, 13)
        .Item(19, 0x0080, "", "Find", 50, 60, 40, 13)
        .Item(21, 0x0082, "", "", 4, 80, 100, 9, 0x50020000)
        .Build();
}

// Resources of modules, by plug-in, type and ID.
class ResourceEnvironment : public host::adm::PluginEnvironment {
public:
    void Add(SPPluginRef plugin, const host::adm::ResourceType& type, std::int32_t id,
             std::vector<std::uint8_t> bytes) {
        resources_[{plugin, Key(type), id}] = std::move(bytes);
    }
    std::optional<std::vector<std::uint8_t>> FindResource(SPPluginRef plugin,
                                                          const host::adm::ResourceType& type,
                                                          std::int32_t id) override {
        auto it = resources_.find({plugin, Key(type), id});
        if (it == resources_.end()) return std::nullopt;
        return it->second;
    }
    void CallPlugin(SPPluginRef plugin, const std::function<void()>& call) override {
        current.push_back(plugin);
        ++calls;
        call();
        current.pop_back();
    }
    // The plug-in each call into plug-in code was made for, innermost last.
    std::vector<SPPluginRef> current;
    int calls = 0;

private:
    static std::string Key(const host::adm::ResourceType& t) {
        return t.name.empty() ? "#" + std::to_string(t.number) : t.name;
    }
    std::map<std::tuple<SPPluginRef, std::string, std::int32_t>, std::vector<std::uint8_t>>
        resources_;
};

}  // namespace adm_test
