// Locate with options and the find box compare the texts of the engine's own table datasets
// in the records themselves. Held here to the answers of the reading through the fields (a
// table class of the test's own, TImageTable, always reads through them) on random tables:
// accented and other bytes from 0x80 up, mixed case, empty texts, texts cut by a field shorter
// than the stored one, fixed-length texts with trailing blanks, and search texts that are
// prefixes of the texts, equal to them or longer. The find box's rule itself is held to the
// plain one: both texts upper-cased (case ignored), then the search text found in the other.
// The walk over the stored records reads each value as its field reads it, every live record
// whatever the view shows.

#include "tests/engine/DOvuzaZerivirTestSupport.h"

#include "dataset/StringField.h"
#include "engine/VolFndEd.h"
#include "engine/table/StoredRecord.h"
#include "engine/table/StoredText.h"
#include "engine/table/ZerovTable.h"
#include "platform/AnsiCase.h"
#include "platform/Timer.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>

namespace cibrano::testing {
namespace {

// Letters in both cases (ASCII, accented, the pairs outside 0xC0-0xFF), the signs that have no
// case, a blank and a digit: prefixes and case-blind matches happen often.
const std::string kAlphabet = "aAbZz \xE0\xC0\xFF\x9F\x9A\x8A\xD7\xF7\xDF"
                              "0";

class InPlaceTextSearch : public TableFixture {
protected:
    InPlaceTextSearch() {
        setTimerFactory([this] { return clock.createTimer(); });
    }
    ~InPlaceTextSearch() override { setTimerFactory(nullptr); }

    std::string randomText(size_t maxLength) {
        std::string s(std::uniform_int_distribution<size_t>(0, maxLength)(random), ' ');
        for (char& c : s)
            c = kAlphabet[std::uniform_int_distribution<size_t>(0, kAlphabet.size() - 1)(random)];
        return s;
    }

    // Gruppo: a fixed-length text of 8; Nome: a text kept by reference, of 40; Quantita.
    std::string randomImage(int rows) {
        std::vector<std::vector<std::string>> values;
        for (int i = 0; i < rows; ++i)
            values.push_back({randomText(10), randomText(12), i % 3 ? "0" : "2.5"});
        return tableImage({{"Gruppo", ftString, 8}, {"Nome", ftString, 40}, {"Quantita", ftFloat}},
                          values);
    }

    // A search text made from a record's text: a prefix, the whole or longer, its letters in
    // either case; now and then a text of its own.
    std::string searchFrom(const std::string& text) {
        if (std::uniform_int_distribution<int>(0, 9)(random) == 0)
            return randomText(4);
        std::string s =
            text.substr(0, std::uniform_int_distribution<size_t>(0, text.size())(random));
        if (std::uniform_int_distribution<int>(0, 4)(random) == 0)
            s += randomText(2);
        for (char& c : s) {
            const auto b = static_cast<unsigned char>(c);
            switch (std::uniform_int_distribution<int>(0, 2)(random)) {
            case 0:
                c = static_cast<char>(ansiUpperChar(b));
                break;
            case 1:
                c = static_cast<char>(ansiLowerChar(b));
                break;
            default:
                break;
            }
        }
        return s;
    }

    // Fields of the tests' own making: Gruppo without its trailing blanks and cut to 5, Nome
    // cut to 6.
    static void shortFields(TDataSet& t) {
        auto* gruppo = new TStringField(&t);
        gruppo->setFieldName("Gruppo");
        gruppo->setSize(5);
        gruppo->setFixedChar(true);
        gruppo->setDataSet(&t);
        auto* nome = new TStringField(&t);
        nome->setFieldName("Nome");
        nome->setSize(6);
        nome->setDataSet(&t);
    }

    // The same image in a table that compares in place and in one that reads through fields.
    void openBoth(const std::string& image, bool ownFields) {
        imageStream = std::make_unique<TMemoryStream>(image);
        fast = std::make_unique<TZerovTable>();
        fast->setLoadMode(lmStream);
        fast->setLoadingStream(imageStream.get());
        general = std::make_unique<TImageTable>();
        general->image = image;
        if (ownFields) {
            shortFields(*fast);
            shortFields(*general);
        }
        fast->open();
        general->open();
    }

    static std::vector<AnsiString> rows(TDataSet& t) {
        std::vector<AnsiString> values;
        for (t.moveFirst(); !t.atEnd(); t.moveNext())
            values.push_back(t.fieldByName("Gruppo")->stringValue() + "|" +
                             t.fieldByName("Nome")->stringValue());
        return values;
    }

    std::mt19937 random{20261208};
    ManualTimerClock clock;
    std::unique_ptr<TMemoryStream> imageStream;
    std::unique_ptr<TZerovTable> fast;
    std::unique_ptr<TImageTable> general;
};

TEST_F(InPlaceTextSearch, OnlyThePlainTextFieldsOfTheEnginesOwnTablesAreReadInPlace) {
    openBoth(randomImage(3), false);
    EXPECT_TRUE(storedTextSlot(fast.get(), fast->fieldByName("Nome")));
    EXPECT_TRUE(storedTextSlot(fast.get(), fast->fieldByName("Gruppo")));
    EXPECT_FALSE(storedTextSlot(fast.get(), fast->fieldByName("Quantita")));
    EXPECT_FALSE(storedTextSlot(general.get(), general->fieldByName("Nome")))
        << "a table class of the application's may read its texts otherwise";
    EXPECT_FALSE(storedTextSlot(fast.get(), general->fieldByName("Nome")))
        << "another dataset's field";

    // While a value is validated, reads give that value, not the record's.
    TField* nome = fast->fieldByName("Nome");
    bool slotWhileValidating = true;
    nome->OnValidate = [&](TField* f) {
        slotWhileValidating = bool(storedTextSlot(fast.get(), f));
    };
    fast->beginEdit();
    nome->setStringValue("nuovo");
    EXPECT_FALSE(slotWhileValidating);
    fast->cancelRecord();
}

TEST_F(InPlaceTextSearch, LocateFindsWhatReadingThroughTheFieldsFinds) {
    const std::vector<TLocateOptions> optionSets = {
        {loCaseInsensitive}, {loPartialKey}, {loCaseInsensitive, loPartialKey}};
    for (bool ownFields : {false, true}) {
        SCOPED_TRACE(ownFields ? "fields shorter than the stored texts" : "the table's fields");
        openBoth(randomImage(60), ownFields);
        const std::vector<AnsiString> shown = rows(*general);
        ASSERT_EQ(rows(*fast), shown);
        int found = 0;
        for (int round = 0; round < 1500; ++round) {
            const int row = std::uniform_int_distribution<int>(1, fast->recordCount())(random);
            general->moveToRecordNumber(row);
            const std::string gruppo = general->fieldByName("Gruppo")->stringValue();
            const std::string nome = general->fieldByName("Nome")->stringValue();
            const TLocateOptions options =
                optionSets[std::uniform_int_distribution<size_t>(0, 2)(random)];
            const std::string first = searchFrom(round % 3 == 0 ? nome : gruppo);
            const std::string second = searchFrom(nome);
            AnsiString fields = round % 3 == 0 ? "Nome" : "Gruppo";
            TVariant values{AnsiString(first)};
            if (round % 3 == 2) {
                fields = "Gruppo;Nome";
                values = TVariant(std::vector<TVariant>{values, TVariant(AnsiString(second))});
            }
            const int start = std::uniform_int_distribution<int>(1, fast->recordCount())(random);
            fast->moveToRecordNumber(start);
            general->moveToRecordNumber(start);
            SCOPED_TRACE(::testing::Message() << fields << " '" << first << "' '" << second << "'");
            const bool inPlace = fast->locate(fields, values, options);
            ASSERT_EQ(inPlace, general->locate(fields, values, options));
            ASSERT_EQ(fast->recordNumber(), general->recordNumber());
            found += inPlace;
        }
        EXPECT_GT(found, 200) << "the searches must find records, not only miss them";
    }
}

TEST_F(InPlaceTextSearch, TheFindBoxKeepsWhatReadingThroughTheFieldsKeeps) {
    for (bool ownFields : {false, true}) {
        SCOPED_TRACE(ownFields ? "fields shorter than the stored texts" : "the table's fields");
        openBoth(randomImage(80), ownFields);
        TDataSource fastSource, generalSource;
        fastSource.setDataSet(fast.get());
        generalSource.setDataSet(general.get());
        TZerovFindEdit fastBox, generalBox;
        fastBox.setDataSource(&fastSource);
        generalBox.setDataSource(&generalSource);
        for (TZerovFindEdit* box : {&fastBox, &generalBox})
            box->setFindStyle(vfsFilter);
        int kept = 0;
        for (int round = 0; round < 400; ++round) {
            const char* field = round % 2 ? "Gruppo" : "Nome";
            const TZerovFindMode mode = round % 4 < 2 ? vfmAnyPos : vfmFirstPos;
            const bool ignoreCase = round % 8 < 4;
            // A piece of a record's text, taken with the boxes empty and the table whole.
            const int row = std::uniform_int_distribution<int>(1, general->recordCount())(random);
            general->moveToRecordNumber(row);
            std::string text = searchFrom(general->fieldByName(field)->stringValue());
            if (!text.empty() && mode == vfmAnyPos)
                text.erase(0, std::uniform_int_distribution<size_t>(0, text.size() / 2)(random));
            // The box's rule as a copy of each text would apply it: the texts upper-cased when
            // the case is ignored, then the search text at their start or anywhere in them.
            std::vector<AnsiString> expected;
            const AnsiString wanted = ignoreCase ? ansiUpperCase(text) : AnsiString(text);
            for (general->moveFirst(); !general->atEnd(); general->moveNext()) {
                AnsiString value = general->fieldByName(field)->stringValue();
                if (ignoreCase)
                    value = ansiUpperCase(value);
                const size_t at = value.find(wanted);
                if (mode == vfmAnyPos ? at != AnsiString::npos : at == 0)
                    expected.push_back(general->fieldByName("Gruppo")->stringValue() + "|" +
                                       general->fieldByName("Nome")->stringValue());
            }
            for (TZerovFindEdit* box : {&fastBox, &generalBox}) {
                box->setDataField(field);
                box->setFindMode(mode);
                box->setIgnoreCase(ignoreCase);
                box->setText(text);
            }
            clock.advance(TZerovFindEdit::kSearchDelay);
            SCOPED_TRACE(::testing::Message() << field << " '" << text << "'");
            const std::vector<AnsiString> shown = rows(*general);
            ASSERT_EQ(shown, expected);
            ASSERT_EQ(rows(*fast), shown);
            kept += static_cast<int>(shown.size());
            for (TZerovFindEdit* box : {&fastBox, &generalBox})
                box->setText("");
            clock.advance(TZerovFindEdit::kSearchDelay);
        }
        EXPECT_GT(kept, 400) << "the searches must keep records, not only drop them";
    }
}

TEST_F(InPlaceTextSearch, StoredRecordsReadAsTheirFieldsReadWhateverTheViewShows) {
    for (bool ownFields : {false, true}) {
        SCOPED_TRACE(ownFields ? "fields shorter than the stored texts" : "the table's fields");
        openBoth(randomImage(40), ownFields);
        for (TDataSet* t :
             {static_cast<TDataSet*>(fast.get()), static_cast<TDataSet*>(general.get())}) {
            t->moveToRecordNumber(3);
            t->deleteRecord();
        }
        // Quantita has a field only among the table's own.
        TField* grams = general->findField("Quantita");
        const std::vector<AnsiString> shown = rows(*general);
        std::vector<double> shownGrams;
        for (general->moveFirst(); grams && !general->atEnd(); general->moveNext())
            shownGrams.push_back(grams->floatValue());
        // A filter that hides every row hides none from the walk.
        fast->setOnFilterRecord([](TDataSet*, bool& accept) { accept = false; });
        fast->setFiltered(true);
        const StoredField gruppo(*fast, fast->fieldByName("Gruppo"));
        const StoredField nome(*fast, fast->fieldByName("Nome"));
        const StoredField quantita(*fast, fast->findField("Quantita"));
        EXPECT_EQ(bool(quantita), grams != nullptr);
        std::vector<AnsiString> inPlace;
        std::vector<double> inPlaceGrams;
        forEachStoredRecord(*fast, [&](const RecordEntry& e) {
            inPlace.push_back(AnsiString(gruppo.text(e.data)) + "|" +
                              AnsiString(nome.text(e.data)));
            if (quantita)
                inPlaceGrams.push_back(quantita.number(e.data));
        });
        EXPECT_EQ(inPlace, shown);
        EXPECT_EQ(inPlaceGrams, shownGrams);
    }
}

} // namespace
} // namespace cibrano::testing
