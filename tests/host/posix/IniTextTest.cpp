#include "host/posix/IniText.h"

#include "support/TempDir.h"

#include <QSettings>
#include <QStringList>

#include <gtest/gtest.h>

#include <fstream>
#include <random>

namespace {

// What QSettings itself reads from text: every key with its value as text (a list joined
// by ','), the independent reference for the reader and the editor.
class QtReference {
public:
    IniText::Values ReadAll(const std::string& text) {
        const std::string path = m_Dir / ("f" + std::to_string(m_Count++) + ".ini"); // no cache
        std::ofstream(path, std::ios::binary) << text;
        QSettings settings(QString::fromStdString(path), QSettings::IniFormat);
        IniText::Values values;
        for (const QString& key : settings.allKeys()) {
            if (key.isEmpty() || key.endsWith('/'))
                continue; // an empty name: value() cannot look it up
            const QVariant value = settings.value(key);
            values[key.toStdString()] = value.typeId() == QMetaType::QStringList
                                            ? value.toStringList().join(',').toStdString()
                                            : value.toString().toStdString();
        }
        return values;
    }

    IniText::Values ReadGroup(const std::string& text, const std::string& group) {
        IniText::Values values;
        for (const auto& [key, value] : ReadAll(text)) {
            if (key.rfind(group + "/", 0) == 0 &&
                key.find('/', group.size() + 1) == std::string::npos)
                values[key.substr(group.size() + 1)] = value;
        }
        return values;
    }

private:
    TempDir m_Dir;
    int m_Count = 0;
};

// Random pieces of INI text, rich in what the dialect treats specially (not bytes that are
// not UTF-8: there the reader keeps bytes on purpose, where QSettings substitutes them).
std::string RandomText(std::mt19937& rng, int pieces) {
    static const char* const kPieces[] = {"[Config]\n",
                                          "[Other Group]\n",
                                          "[General]\n",
                                          "[config]\n",
                                          "[Con%66ig]\n",
                                          "[Config",
                                          "Speed",
                                          "Folders",
                                          "Config\\Speed",
                                          "%53peed",
                                          " ",
                                          "\t",
                                          "=",
                                          "=",
                                          ";",
                                          ",",
                                          ",",
                                          "\"",
                                          "\\",
                                          "\n",
                                          "\n",
                                          "\r\n",
                                          "a",
                                          "1",
                                          "42",
                                          "@",
                                          "@@",
                                          "\\x41",
                                          "\\x4",
                                          "\\0",
                                          "\\101",
                                          "\\n",
                                          "caf\xC3\xA9",
                                          "@String(x)",
                                          "@Invalid()",
                                          "@ByteArray(b)",
                                          "]",
                                          "#",
                                          "\nSpeed=",
                                          "\nConfig\\Speed="};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::string text;
    for (int i = 0; i < pieces; ++i)
        text += kPieces[pick(rng)];
    return text;
}

std::string RandomValue(std::mt19937& rng) {
    static const char* const kPieces[] = {
        "a",  " ",    "\t",   ",", ";", "=",    "\"",          "\\", "@", "@@", "\n",
        "\r", "\x01", "\x1b", "f", "7", "\x7f", "caf\xC3\xA9", "*",  "/", "" /* a NUL, below */};
    std::uniform_int_distribution<std::size_t> pick(0, std::size(kPieces) - 1);
    std::uniform_int_distribution<int> length(0, 6);
    std::string value;
    for (int n = length(rng); n > 0; --n) {
        const std::size_t k = pick(rng);
        value += k + 1 == std::size(kPieces) ? std::string(1, '\0') : std::string(kPieces[k]);
    }
    return value;
}

} // namespace

TEST(IniText, ReadsEveryGroupAsQSettingsDoes) {
    QtReference qt;
    std::mt19937 rng(20261208);
    for (int trial = 0; trial < 1500; ++trial) {
        const std::string text = RandomText(rng, 3 + trial % 40);
        EXPECT_EQ(IniText::ReadGroup(text, "Config"), qt.ReadGroup(text, "Config")) << text;
    }
    // Hand-written files as users and QSettings write them.
    for (const std::string text :
         {"[Config]\nSpeed=70\nInstallFolder=\"/opt/a, b;c/\"\n",
          "\xEF\xBB\xBF[Config]\r\nSpeed = 12 ; comment\r\nList=a, b ,c\r\n",
          "[Config]\nA=@Rect(1 2 3 4)\nB=@Rect(1 2)\nC=@Size(1 2)\nD=x,@y\nE=@@a,@@b\n",
          "[Config]\nLong=one\\\ntwo\nQ=\"multi\nline\"\nX=\\x263a\\101\\18\n",
          // The general group is read first, whatever its place; the last reading counts.
          "[Config]\nSpeed=1\n[General]\nConfig\\Speed=2\n[Config]\nA=1\n[Other]\n[Config]\nA="
          "2\n"}) {
        EXPECT_EQ(IniText::ReadGroup(text, "Config"), qt.ReadGroup(text, "Config")) << text;
    }
}

// After an edit QSettings reads every key set to its new value and every other key as before;
// an edit that cannot promise that leaves the text alone.
TEST(IniText, AnEditChangesOnlyItsKeysAsQSettingsReadsThem) {
    QtReference qt;
    std::mt19937 rng(7);
    int edited = 0;
    const int trials = 1500;
    for (int trial = 0; trial < trials; ++trial) {
        const std::string before = RandomText(rng, trial % 30);
        const IniText::Changes changes = {{"Speed", RandomValue(rng)}, {"New", RandomValue(rng)}};
        std::string text = before;
        if (!IniText::Set(text, "Config", changes)) {
            EXPECT_EQ(text, before);
            continue;
        }
        ++edited;
        IniText::Values expected = qt.ReadAll(before);
        for (const auto& [key, value] : changes)
            expected["Config/" + key] = value;
        EXPECT_EQ(qt.ReadAll(text), expected) << before << "\n---\n" << text;
    }
    EXPECT_GT(edited, trials * 3 / 4) << "most damaged files still take an edit";
}

TEST(IniText, EscapedValuesReadBackWhateverTheyHold) {
    QtReference qt;
    std::mt19937 rng(99);
    for (int trial = 0; trial < 500; ++trial) {
        const std::string value = RandomValue(rng);
        const std::string text = "[Config]\nV=" + IniText::Escape(value) + "\n";
        EXPECT_EQ(qt.ReadGroup(text, "Config")["V"], value) << text;
        EXPECT_EQ(IniText::ReadGroup(text, "Config")["V"], value) << text;
    }
    // A value that is not UTF-8 keeps its bytes here (QSettings could not keep them at all).
    std::string text = "[Config]\nOther=\xff\xfe\n";
    ASSERT_TRUE(IniText::Set(text, "Config", {{"Folder", "/caf\xe9"}}));
    EXPECT_EQ(text, "[Config]\nOther=\xff\xfe\nFolder=/caf\xe9\n");
    EXPECT_EQ(IniText::ReadGroup(text, "Config")["Folder"], "/caf\xe9");
}
