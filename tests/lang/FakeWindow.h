// A window and controls in memory, standing in for the UI's widgets in localisation tests.
#pragma once

#include "lang/LangWindow.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

class FakeControl : public LangControl {
public:
    FakeControl(ControlType type, std::string name, std::optional<int> index = std::nullopt)
        : m_type(type), m_name(std::move(name)), m_index(index) {}

    ControlType type() const override { return m_type; }
    std::string name() const override { return m_name; }
    std::optional<int> arrayIndex() const override { return m_index; }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override { m_caption = caption; }
    std::string text() const override { return m_text; }
    void setText(const std::string& text) override { m_text = text; }
    int itemCount() const override { return static_cast<int>(m_items.size()); }
    std::string item(int index) const override { return m_items.at(static_cast<size_t>(index)); }
    void setItem(int index, const std::string& text) override {
        m_items.at(static_cast<size_t>(index)) = text;
    }
    void clearItems() override {
        m_items.clear();
        m_currentIndex = -1;
    }
    void addItem(const std::string& text) override { m_items.push_back(text); }
    void setCurrentIndex(int index) override { m_currentIndex = index; }
    void setCharset(int32_t charset) override { m_charset = charset; }

    ControlType m_type;
    std::string m_name;
    std::optional<int> m_index;
    std::string m_caption;
    std::string m_text;
    std::vector<std::string> m_items;
    int m_currentIndex = -1;
    std::optional<int32_t> m_charset;
};

class FakeWindow : public LangWindow {
public:
    FakeWindow(std::string name, std::string caption)
        : m_name(std::move(name)), m_caption(std::move(caption)) {}

    std::string name() const override { return m_name; }
    std::string caption() const override { return m_caption; }
    void setCaption(const std::string& caption) override { m_caption = caption; }
    int controlCount() const override { return static_cast<int>(m_controls.size()); }
    LangControl& control(int position) override { return *m_controls.at(static_cast<size_t>(position)); }

    FakeControl& add(ControlType type, const std::string& name, std::optional<int> index = std::nullopt) {
        m_controls.push_back(std::make_unique<FakeControl>(type, name, index));
        return *m_controls.back();
    }

    std::string m_name;
    std::string m_caption;
    std::vector<std::unique_ptr<FakeControl>> m_controls;
};
