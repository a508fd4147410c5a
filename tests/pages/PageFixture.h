#pragma once

#include "support/ScriptedController.h"
#include "ui/sheet/CPropertySheet.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

class CPropertyPage;
class QWidget;

// A page test: its own settings folder (the real settings service), the message
// box recorded, a scripted controller, and a shown sheet holding the pages under
// test. Build the controller's script, then StartController and Connect.
class PageFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Adds a page to the sheet that Show() will display; the fixture owns it.
    template <class Page> Page* Add() {
        auto page = std::make_unique<Page>();
        Page* raw = page.get();
        pages.push_back(std::move(page));
        return raw;
    }
    // A page without controls, somewhere to go when a page is left.
    CPropertyPage* AddBlank();
    // Shows the sheet on its first page.
    void Show();

    // The scripted controller's pseudo-terminal, opened through the link.
    void StartController();
    void Connect();

    // Settings files in the test's folder.
    std::string ReadSettings(const std::string& fileName) const;
    void WriteSettings(const std::string& fileName, const std::string& text) const;
    std::string Profile() const;
    std::string PresetFile() const { return ReadSettings("VORNadcC.INI"); }

    // Typing into a control and reading what it shows.
    static void Type(CPropertyPage* page, int id, const std::string& text);
    static std::string Shown(CPropertyPage* page, int id);
    static bool Enabled(CPropertyPage* page, int id);
    static void Click(CPropertyPage* page, int id);
    // Return pressed in a control of the sheet.
    static void PressEnter(QWidget* target);

    std::filesystem::path root;
    std::vector<std::string> messages;
    ScriptedController controller;
    std::vector<std::unique_ptr<CPropertyPage>> pages;
    std::unique_ptr<CPropertySheet> sheet;
};
