#include "host/win32/RegistryProfileStore.h"

#include "config/FakeServices.h"
#include "config/ImagesPage.h"
#include "core/RegSettings.h"
#include "support/TempDir.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <vector>

namespace {

// A private key per process under the application's vendor key, removed afterwards.
class RegistryProfileStoreTest : public testing::Test {
protected:
    RegistryProfileStoreTest()
        : m_Key("Software\\Tovenhall\\KinetoraTest" + std::to_string(GetCurrentProcessId())),
          m_Ini(m_Dir.Path() + "\\Kinetora.ini") {
        RegDeleteTreeA(HKEY_CURRENT_USER, m_Key.c_str());
    }
    ~RegistryProfileStoreTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, m_Key.c_str()); }

    RegistryProfileStore Store() const { return RegistryProfileStore(m_Key, m_Ini); }

    // The stored type and size of a value, as another program reading the registry sees it.
    DWORD TypeOf(const std::string& name, DWORD* size = nullptr) const {
        DWORD type = REG_NONE;
        DWORD bytes = 0;
        if (RegGetValueA(HKEY_CURRENT_USER, (m_Key + "\\Config").c_str(), name.c_str(),
                         RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, &bytes) != ERROR_SUCCESS)
            return REG_NONE;
        if (size != nullptr)
            *size = bytes;
        return type;
    }

    void SetText(const std::string& name, const std::string& text) const {
        RegSetKeyValueA(HKEY_CURRENT_USER, (m_Key + "\\Config").c_str(), name.c_str(), REG_SZ,
                        text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    TempDir m_Dir;
    std::string m_Key;
    std::string m_Ini;
};

TEST_F(RegistryProfileStoreTest, MissingValuesGiveDefaultsAndTheHelpFolderIsTheProgramsOwn) {
    const RegistryProfileStore store = Store();
    EXPECT_EQ(store.ReadInt("Speed", 50), 50);
    EXPECT_EQ(store.ReadString("Anything", "x"), "x");
    EXPECT_EQ(store.ReadFolders(), "");
    const std::string install = store.ReadString("InstallFolder", "");
    ASSERT_FALSE(install.empty());
    EXPECT_EQ(install.back(), '\\');
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    EXPECT_EQ(std::string(exe).rfind(install, 0), 0u) << exe;
}

TEST_F(RegistryProfileStoreTest, IntegersAreDwordsAndTextIsAString) {
    RegistryProfileStore store = Store();
    store.WriteGroup({{"Speed", 73}, {"BlankMinutes", -5}, {"InstallFolder", "C:\\Help\\"}});
    DWORD size = 0;
    EXPECT_EQ(TypeOf("Speed", &size), static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(TypeOf("InstallFolder"), static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(store.ReadInt("Speed", 0), 73);
    EXPECT_EQ(store.ReadInt("BlankMinutes", 0), -5);
    EXPECT_EQ(store.ReadString("InstallFolder", ""), "C:\\Help\\");
}

TEST_F(RegistryProfileStoreTest, NumbersTypedAsTextAreReadAndOtherTextIsNot) {
    SetText("Speed", " 12 ");
    SetText("ImageProb", "often");
    const RegistryProfileStore store = Store();
    EXPECT_EQ(store.ReadInt("Speed", 50), 12);
    EXPECT_EQ(store.ReadInt("ImageProb", 50), 50);
}

// The saver and the configuration sheet are two processes with a store each.
TEST_F(RegistryProfileStoreTest, TwoWritersKeepEachOthersValues) {
    RegistryProfileStore sheet = Store();
    RegistryProfileStore saver = Store();
    sheet.WriteGroup({{"Speed", 10}, {"BlankScreen", 1}, {"BlankMinutes", 5}});
    saver.WriteGroup({{"FramesPerSecond", 17}, {"Polygons", 1700}});
    sheet.WriteGroup({{"ImageProb", 80}, {"ImageOrder", 1}});
    const RegistryProfileStore reader = Store();
    EXPECT_EQ(reader.ReadInt("Speed", 0), 10);
    EXPECT_EQ(reader.ReadInt("BlankMinutes", 0), 5);
    EXPECT_EQ(reader.ReadInt("FramesPerSecond", 0), 17);
    EXPECT_EQ(reader.ReadInt("Polygons", 0), 1700);
    EXPECT_EQ(reader.ReadInt("ImageOrder", 0), 1);
    // A value written after a store was opened is seen by it.
    EXPECT_EQ(saver.ReadInt("ImageProb", 0), 80);
}

TEST_F(RegistryProfileStoreTest, FoldersLiveInTheIniFile) {
    RegistryProfileStore store = Store();
    store.WriteFolders("C:\\Pics*D:\\More*");
    EXPECT_EQ(Store().ReadFolders(), "C:\\Pics*D:\\More*");
    std::ifstream file(m_Ini);
    std::stringstream text;
    text << file.rdbuf();
    EXPECT_NE(text.str().find("[Kinetora]"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("Folders=C:\\Pics*D:\\More*"), std::string::npos) << text.str();
}

// The file as a user's editor or an older version leaves it: 150 folders, 5700 characters.
TEST_F(RegistryProfileStoreTest, AFolderListOfAnyLengthIsReadWholeAndTheSheetSavesItWhole) {
    const auto writeFile = [this](const std::string& value) {
        std::ofstream file(m_Ini, std::ios::binary | std::ios::trunc);
        file << "[Kinetora]\r\nFolders=" << value << "\r\n";
    };
    std::vector<std::string> folders;
    std::string text;
    for (int i = 0; i < 150; ++i) {
        folders.push_back("C:\\Users\\Anna\\Pictures\\Summer\\Day " +
                          std::to_string(1000 + i).substr(1));
        text += folders.back() + '*';
    }
    ASSERT_EQ(text.size(), 5700u);
    // A read cut at 4095 characters would end inside a name.
    ASSERT_NE(text[4094], '*');
    ASSERT_NE(text[4095], '*');
    writeFile(text);
    RegistryProfileStore store = Store();
    EXPECT_EQ(store.ReadFolders().size(), text.size());

    RegSettings settings(store);
    ASSERT_EQ(settings.Folders(), folders);
    FakeServices services;
    {
        CImagesPage page(settings, services);
        EXPECT_EQ(page.List().size(), 150u);
        page.Select(0);
        page.OnRemove();
        page.OnOK();
    }
    folders.erase(folders.begin());
    RegistryProfileStore reader = Store();
    EXPECT_EQ(RegSettings(reader).Folders(), folders);

    // Around the sizes the buffer takes on its way.
    for (const size_t length : {4094u, 4095u, 4096u, 4097u, 8191u, 8192u, 100000u}) {
        const std::string value = std::string(length - 1, 'a') + '*';
        writeFile(value);
        const std::string read = Store().ReadFolders();
        EXPECT_TRUE(read == value) << length << " characters read as " << read.size();
    }
}

TEST_F(RegistryProfileStoreTest, SettingsLoadFromTheRegistryAndOnlyASaverRunWritesItsRecord) {
    RegistryProfileStore store = Store();
    store.WriteGroup({{"FramesPerSecond", 12}, {"Polygons", 3000}});
    store.WriteFolders("C:\\Pics*D:\\More");
    {
        RegSettings preview(store);
        EXPECT_DOUBLE_EQ(preview.Performance(), 14.0 / 25.0);
        EXPECT_EQ(preview.Folders(), (std::vector<std::string>{"C:\\Pics", "D:\\More"}));
        preview.SetFramesPerSecond(20);
    }
    EXPECT_EQ(Store().ReadInt("FramesPerSecond", 0), 12);
    {
        RegSettings saver(store);
        saver.SetRunModeSaver(true);
        saver.SetFramesPerSecond(20);
    }
    EXPECT_EQ(Store().ReadInt("FramesPerSecond", 0), 20);
    EXPECT_EQ(TypeOf("FramesPerSecond"), static_cast<DWORD>(REG_DWORD));
}

} // namespace
