#include "scenario/ScenarioRunner.h"

#include "scenario/ScenarioError.h"
#include "scenario/ScenarioParser.h"
#include "services/data/TClientDataSet.h"
#include "services/ui/TCheckBox.h"
#include "services/ui/TMenuItem.h"
#include "services/ui/TPageControl.h"
#include "services/ui/TRadioButton.h"
#include "services/ui/TTabSheet.h"
#include "services/ui/testing/ScreenDriver.h"

#include <fstream>
#include <sstream>

namespace {

[[noreturn]] void fail(const std::string& source, const ScenarioStep& s, const std::string& msg) {
    throw ScenarioError(source, s.line, msg);
}

void needWords(const std::string& source, const ScenarioStep& s, std::size_t count,
               const char* usage) {
    if (s.words.size() != count) fail(source, s, std::string("usage: ") + usage);
}

std::string quoted(const std::string& s) {
    return "\"" + s + "\"";
}

void expectEqual(const std::string& source, const ScenarioStep& s, const std::string& what,
                 const std::string& expected, const std::string& actual) {
    if (expected != actual)
        fail(source, s, what + ": expected " + quoted(expected) + ", got " + quoted(actual));
}

int toInt(const std::string& source, const ScenarioStep& s, const std::string& text) {
    try {
        std::size_t used = 0;
        int v = std::stoi(text, &used);
        if (used == text.size()) return v;
    } catch (...) {
    }
    fail(source, s, "not a number: " + quoted(text));
}

const char* stateName(TDataSetState state) {
    switch (state) {
    case dsInactive:
        return "inactive";
    case dsBrowse:
        return "browse";
    case dsEdit:
        return "edit";
    case dsInsert:
        return "insert";
    }
    return "?";
}

bool isOn(TComponent& c, bool& ok) {
    ok = true;
    if (auto* cb = dynamic_cast<TCheckBox*>(&c)) return cb->Checked();
    if (auto* rb = dynamic_cast<TRadioButton*>(&c)) return rb->Checked();
    ok = false;
    return false;
}

bool enabledOf(TComponent& c) {
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) return item->Enabled();
    if (auto* ctl = dynamic_cast<TControl*>(&c)) return ctl->Enabled();
    return true;
}

bool visibleOf(TComponent& c) {
    if (auto* item = dynamic_cast<TMenuItem*>(&c)) return item->Visible();
    if (auto* ctl = dynamic_cast<TControl*>(&c)) return ctl->Showing();
    return true;
}

} // namespace

ScenarioRunner::ScenarioRunner(ScreenDriver& driver) : m_driver(driver) {}

void ScenarioRunner::addForm(const std::string& className, FormFactory factory) {
    m_forms[className] = std::move(factory);
}

void ScenarioRunner::addAction(const std::string& verb, Action action) {
    m_actions[verb] = std::move(action);
}

void ScenarioRunner::runText(const std::string& text, const std::string& source) {
    run(ScenarioParser::parse(text, source), source);
}

void ScenarioRunner::runFile(const std::string& path) {
    std::ifstream in(path);
    if (!in) throw ScenarioError(path, 0, "cannot read the file");
    std::stringstream buffer;
    buffer << in.rdbuf();
    runText(buffer.str(), path);
}

void ScenarioRunner::run(const std::vector<ScenarioStep>& steps, const std::string& source) {
    for (const ScenarioStep& s : steps)
        step(s, source);
}

void ScenarioRunner::step(const ScenarioStep& s, const std::string& source) {
    HeadlessPlatform& platform = m_driver.platform();
    std::size_t questions = platform.unscriptedQuestions().size();
    std::size_t dialogs = platform.unscriptedModals().size();
    try {
        if (s.words[0] == "check")
            check(s, source);
        else
            action(s, source);
    } catch (const ScenarioError&) {
        throw;
    } catch (const ScriptError& e) {
        fail(source, s, e.what());
    }
    if (platform.unscriptedQuestions().size() > questions)
        fail(source, s,
             "question asked without an answer: " + quoted(platform.unscriptedQuestions().back()));
    if (platform.unscriptedModals().size() > dialogs)
        fail(source, s,
             "dialog " + platform.unscriptedModals().back() + " opened without a 'modal' block");
}

void ScenarioRunner::action(const ScenarioStep& s, const std::string& source) {
    const auto& w = s.words;
    const std::string& verb = w[0];
    if (auto it = m_actions.find(verb); it != m_actions.end()) {
        it->second(m_driver, w);
    } else if (verb == "open") {
        needWords(source, s, 2, "open <form class>");
        auto it2 = m_forms.find(w[1]);
        if (it2 == m_forms.end()) fail(source, s, "no form " + w[1] + " can be opened here");
        it2->second(m_driver);
    } else if (verb == "form") {
        needWords(source, s, 2, "form <form class>");
        TForm* form = m_driver.app().findForm(w[1]);
        if (!form) fail(source, s, "no open form " + w[1]);
        m_driver.drive(*form);
    } else if (verb == "focus") {
        needWords(source, s, 2, "focus <control>");
        m_driver.focus(w[1]);
    } else if (verb == "type") {
        if (w.size() == 2)
            m_driver.type(w[1]);
        else if (w.size() == 3)
            m_driver.typeInto(w[1], w[2]);
        else
            fail(source, s, "usage: type [<control>] <text>");
    } else if (verb == "press") {
        needWords(source, s, 2, "press <key>");
        m_driver.press(w[1]);
    } else if (verb == "click") {
        needWords(source, s, 2, "click <control>");
        m_driver.click(w[1]);
    } else if (verb == "dblclick") {
        needWords(source, s, 2, "dblclick <control>");
        m_driver.dblClick(w[1]);
    } else if (verb == "cell" || verb == "dblcell") {
        needWords(source, s, 4, "cell|dblcell <grid> <row from 1> <column field>");
        int row = toInt(source, s, w[2]) - 1;
        if (verb == "cell")
            m_driver.clickCell(w[1], row, w[3]);
        else
            m_driver.dblClickCell(w[1], row, w[3]);
    } else if (verb == "title") {
        needWords(source, s, 3, "title <grid> <column field>");
        m_driver.clickTitle(w[1], w[2]);
    } else if (verb == "page") {
        needWords(source, s, 3, "page <page control> <tab sheet>");
        m_driver.choosePage(w[1], w[2]);
    } else if (verb == "select") {
        needWords(source, s, 3, "select <combo box> <item>");
        m_driver.selectItem(w[1], w[2]);
    } else if (verb == "answer") {
        needWords(source, s, 2, "answer yes|no");
        if (w[1] == "yes")
            m_driver.answerYes();
        else if (w[1] == "no")
            m_driver.answerNo();
        else
            fail(source, s, "usage: answer yes|no");
    } else if (verb == "modal") {
        std::vector<ScenarioStep> block = s.block;
        m_driver.onModal(w[1], [this, block, source](ScreenDriver&) { run(block, source); });
    } else if (verb == "clear" && w.size() == 2 && w[1] == "messages") {
        m_driver.clearMessages();
    } else {
        fail(source, s, "unknown step '" + verb + "'");
    }
}

void ScenarioRunner::check(const ScenarioStep& s, const std::string& source) {
    const auto& w = s.words;
    if (w.size() < 2) fail(source, s, "usage: check <what> ...");
    const std::string& what = w[1];
    if (what == "text" || what == "caption") {
        needWords(source, s, 4, "check text|caption <control> <expected>");
        std::string actual;
        if (what == "text") {
            actual = m_driver.textOf(w[2]);
        } else if (auto* item = dynamic_cast<TMenuItem*>(&m_driver.component(w[2]))) {
            actual = item->Caption();
        } else {
            actual = m_driver.control<TControl>(w[2]).Caption();
        }
        expectEqual(source, s, what + " of " + w[2], w[3], actual);
    } else if (what == "enabled" || what == "disabled") {
        needWords(source, s, 3, "check enabled|disabled <control>");
        bool on = enabledOf(m_driver.component(w[2]));
        if (on != (what == "enabled"))
            fail(source, s, w[2] + ": expected " + what + ", got " + (on ? "enabled" : "disabled"));
    } else if (what == "visible" || what == "hidden") {
        needWords(source, s, 3, "check visible|hidden <control>");
        bool on = visibleOf(m_driver.component(w[2]));
        if (on != (what == "visible"))
            fail(source, s, w[2] + ": expected " + what + ", got " + (on ? "visible" : "hidden"));
    } else if (what == "checked" || what == "unchecked") {
        needWords(source, s, 3, "check checked|unchecked <control>");
        bool ok = false;
        bool on = isOn(m_driver.component(w[2]), ok);
        if (!ok) fail(source, s, w[2] + " is not a check box or radio button");
        if (on != (what == "checked"))
            fail(source, s,
                 w[2] + ": expected " + what + ", got " + (on ? "checked" : "unchecked"));
    } else if (what == "focus") {
        needWords(source, s, 3, "check focus <control>");
        expectEqual(source, s, "focused control", w[2], m_driver.focusedName());
    } else if (what == "page") {
        needWords(source, s, 4, "check page <page control> <tab sheet>");
        TTabSheet* page = m_driver.control<TPageControl>(w[2]).ActivePage();
        expectEqual(source, s, "active page of " + w[2], w[3], page ? page->Name() : "");
    } else if (what == "field" || what == "display" || what == "null") {
        bool isNullCheck = what == "null";
        needWords(
            source, s, isNullCheck ? 4 : 5,
            "check field|display <dataset> <FIELD> <expected> | check null <dataset> <FIELD>");
        TClientDataSet& ds = m_driver.dataSet(w[2]);
        TField* field = ds.FindField(w[3]);
        if (!field) fail(source, s, "dataset " + w[2] + " has no field " + w[3]);
        if (isNullCheck) {
            if (!field->IsNull())
                fail(source, s,
                     w[2] + "." + w[3] + ": expected null, got " + quoted(field->AsString()));
        } else {
            std::string actual = what == "field" ? field->AsString() : field->DisplayText();
            expectEqual(source, s, w[2] + "." + w[3], w[4], actual);
        }
    } else if (what == "rows") {
        needWords(source, s, 4, "check rows <dataset> <count>");
        TClientDataSet& ds = m_driver.dataSet(w[2]);
        expectEqual(source, s, "rows of " + w[2], w[3],
                    std::to_string(ds.Active() ? ds.RecordCount() : 0));
    } else if (what == "state") {
        needWords(source, s, 4, "check state <dataset> browse|edit|insert|inactive");
        expectEqual(source, s, "state of " + w[2], w[3], stateName(m_driver.dataSet(w[2]).State()));
    } else if (what == "cursor") {
        needWords(source, s, 3, "check cursor default|hourglass");
        std::string actual = m_driver.platform().Cursor() == crHourGlass ? "hourglass" : "default";
        expectEqual(source, s, "cursor", w[2], actual);
    } else if (what == "progress") {
        if (w.size() != 3 && w.size() != 4)
            fail(source, s, "usage: check progress hidden | check progress shown [<text>]");
        HeadlessPlatform& p = m_driver.platform();
        std::string actual = p.progressVisible() ? "shown" : "hidden";
        expectEqual(source, s, "progress window", w[2], actual);
        if (w.size() == 4) expectEqual(source, s, "progress text", w[3], p.progressText());
    } else if (what == "message") {
        needWords(source, s, 3, "check message <text>");
        std::string all = m_driver.messages();
        if (all.find(w[2]) == std::string::npos)
            fail(source, s, "no message shown contains " + quoted(w[2]) + "; shown:\n" + all);
    } else if (what == "messages") {
        std::string expected;
        for (const std::string& line : s.text)
            expected += line + "\n";
        std::string actual = m_driver.messages();
        if (expected != actual)
            fail(source, s, "messages: expected\n" + expected + "got\n" + actual);
    } else if (what == "no" && w.size() == 3 && w[2] == "messages") {
        std::string actual = m_driver.messages();
        if (!actual.empty()) fail(source, s, "expected no messages, got\n" + actual);
    } else {
        fail(source, s, "unknown check '" + what + "'");
    }
}
