#include "services/data/TClientDataSet.h"

#include "services/data/CellValue.h"
#include "services/data/DataSetCore.h"

#include <algorithm>

using Notice = TDataSource::Notice;

namespace {

// Moves the cursor to a visible row with the scroll events around it.
void scrollTo(DataSetCore& c, TClientDataSet& ds, int target, bool bof, bool eof) {
    c.fire(ds.BeforeScroll);
    if (!c.active) return;
    // The handler may have changed the rows: never point past them.
    if (c.visible.empty()) {
        c.cursor = -1;
        c.bof = c.eof = true;
        return;
    }
    target = std::min(target, static_cast<int>(c.visible.size()) - 1);
    c.cursor = target;
    c.bof = bof;
    c.eof = eof;
    c.notify(Notice::Scroll);
    c.fire(ds.AfterScroll);
}

} // namespace

void TClientDataSet::First() {
    DataSetCore& c = *m_core;
    c.checkActive("First");
    CheckBrowseMode();
    if (c.visible.empty()) {
        c.bof = c.eof = true;
        return;
    }
    scrollTo(c, *this, 0, true, false);
}

void TClientDataSet::Last() {
    DataSetCore& c = *m_core;
    c.checkActive("Last");
    CheckBrowseMode();
    if (c.visible.empty()) {
        c.bof = c.eof = true;
        return;
    }
    scrollTo(c, *this, static_cast<int>(c.visible.size()) - 1, false, true);
}

void TClientDataSet::Next() {
    MoveBy(1);
}

void TClientDataSet::Prior() {
    MoveBy(-1);
}

int TClientDataSet::MoveBy(int distance) {
    DataSetCore& c = *m_core;
    c.checkActive("MoveBy");
    if (c.editing()) {
        const std::uint32_t rec = c.currentRecord();
        const int at = c.cursor;
        Post();
        // The posted row left the view (filter): the row that took its place is the next one.
        if (c.currentRecord() != rec && distance > 0) {
            if (at < static_cast<int>(c.visible.size())) {
                c.bof = c.eof = false;
                c.notify(Notice::Scroll);
                c.fire(AfterScroll);
                return 1 + (distance > 1 ? MoveBy(distance - 1) : 0);
            }
            c.eof = true;
            return 0;
        }
    }
    const int count = static_cast<int>(c.visible.size());
    if (count == 0) {
        c.bof = c.eof = true;
        return 0;
    }
    const int target = std::clamp(c.cursor + distance, 0, count - 1);
    const int moved = target - c.cursor;
    if (moved == 0) {
        if (distance > 0) c.eof = true;
        if (distance < 0) c.bof = true;
        return 0;
    }
    scrollTo(c, *this, target, moved != distance && distance < 0,
             moved != distance && distance > 0);
    return moved;
}

bool TClientDataSet::Eof() const noexcept {
    return m_core->eof;
}

bool TClientDataSet::Bof() const noexcept {
    return m_core->bof;
}

void TClientDataSet::MoveToVisibleRow(int visibleRow) {
    DataSetCore& c = *m_core;
    c.checkActive("MoveToVisibleRow");
    CheckBrowseMode();
    if (visibleRow < 0 || visibleRow >= static_cast<int>(c.visible.size()))
        c.fail("linha " + std::to_string(visibleRow) + " fora do conjunto de dados.");
    scrollTo(c, *this, visibleRow, false, false);
}

int TClientDataSet::CurrentVisibleRow() const noexcept {
    return m_core->cursor;
}

void TClientDataSet::GotoBookmark(const TBookmark& bookmark) {
    DataSetCore& c = *m_core;
    c.checkActive("GotoBookmark");
    CheckBrowseMode();
    if (!BookmarkValid(bookmark)) c.fail("registro marcado não existe mais ou não está visível.");
    scrollTo(c, *this, c.visibleIndexOf(bookmark.record), false, false);
}

bool TClientDataSet::Locate(const std::string& fields, const std::vector<Variant>& values,
                            LocateOptions options) {
    DataSetCore& c = *m_core;
    c.checkActive("Locate");
    const std::vector<int> fieldNos = c.fieldList(fields);
    if (fieldNos.empty()) c.fail("Locate sem campos.");
    if (fieldNos.size() != values.size())
        c.fail("Locate com " + std::to_string(fieldNos.size()) + " campos e " +
               std::to_string(values.size()) + " valores.");
    // Values in the fields' kinds: a text where a number is expected is refused here.
    std::vector<Variant> keys;
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < fieldNos.size(); ++i) {
        const TField& f = *c.fieldStore[static_cast<std::size_t>(fieldNos[i])];
        keys.push_back(values[i].isNull() ? Variant() : f.convert(values[i]));
        std::string t;
        if (f.DataType() == FieldType::String) {
            if (options.caseInsensitive)
                FieldHash::fold(cell::text(keys.back()), t);
            else
                t = std::string(cell::text(keys.back()));
        }
        texts.push_back(std::move(t));
    }
    CheckBrowseMode();

    std::string folded;
    std::size_t firstToCheck = 0;
    auto matches = [&](std::uint32_t rec) {
        const auto& row = c.records[rec].values;
        for (std::size_t i = firstToCheck; i < fieldNos.size(); ++i) {
            const Variant& v = row[static_cast<std::size_t>(fieldNos[i])];
            if (c.fieldStore[static_cast<std::size_t>(fieldNos[i])]->DataType() ==
                    FieldType::String &&
                !keys[i].isNull()) {
                if (v.isNull() && !texts[i].empty()) return false;
                std::string_view t = cell::text(v);
                if (options.caseInsensitive) {
                    FieldHash::fold(t, folded);
                    t = folded;
                }
                if (options.partialKey ? t.substr(0, texts[i].size()) != texts[i] : t != texts[i])
                    return false;
            } else if (Variant::compare(v, keys[i]) != 0) {
                return false;
            }
        }
        return true;
    };

    int found = -1;
    const bool hashable = c.useHashes && !options.partialKey && !keys[0].isNull();
    if (hashable) {
        const FieldHash& h = c.hashFor(fieldNos[0], options.caseInsensitive);
        // The hash key already decides the first field, except for "" and 0 that null shares.
        double number = 0;
        const bool nullLike = keys[0].type() == VarType::Text
                                  ? keys[0].textView().empty()
                                  : !cell::number(keys[0], number) || number == 0;
        firstToCheck = nullLike ? 0 : 1;
        if (const auto* ids = h.find(keys[0])) {
            for (std::uint32_t rec : *ids) {
                if (!matches(rec)) continue;
                const int at = c.visibleIndexOf(rec);
                if (at >= 0 && (found < 0 || at < found)) found = at;
            }
        }
    } else {
        for (std::size_t i = 0; i < c.visible.size(); ++i)
            if (matches(c.visible[i])) {
                found = static_cast<int>(i);
                break;
            }
    }
    if (found < 0) return false;
    scrollTo(c, *this, found, false, false);
    return true;
}
