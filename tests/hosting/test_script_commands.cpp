// The script commands on a real document and view: what reaches the launcher
// (verb, file, parameters, folder, show code), the saves before a run, the
// parameters dialog and the settings file, the wrapper file, the shell's
// refusal, and the encoded copy through a stand-in encoder.
#include <windows.h>
#include <oleauto.h>
#include "document/mydoc.h"
#include "platform/framework/dialog.h"
#include "hosting/script_launcher.h"
#include "tests/app/app_fixture.h"
#include "platform/com_object.h"
#include "views/myeditview.h"

namespace {
struct RecordingLauncher : ScriptLauncher {
  std::vector<ScriptLaunch> launches;
  std::string wrapperAtLaunch;  // the wrapper's bytes when it was started
  DWORD refuseWith = 0;         // non-zero: refuse with this error
  // Set: each watched launch runs until its event here is set.
  bool watch = false;
  std::vector<HANDLE> running;
  ~RecordingLauncher() override {
    for (HANDLE h : running) CloseHandle(h);
  }
  bool Launch(const ScriptLaunch& launch, DWORD& error) override {
    launches.push_back(launch);
    if (launch.file.size() > 12 && launch.file.substr(launch.file.size() - 12) == "__script.bat")
      wrapperAtLaunch = ReadBytes(launch.file);
    error = refuseWith;
    return refuseWith == 0;
  }
  bool LaunchWatched(const ScriptLaunch& launch, DWORD& error, HANDLE& process) override {
    process = nullptr;
    if (watch) {
      running.push_back(CreateEventA(nullptr, TRUE, FALSE, nullptr));
      DuplicateHandle(GetCurrentProcess(), running.back(), GetCurrentProcess(), &process, 0, FALSE,
                      DUPLICATE_SAME_ACCESS);
    }
    return Launch(launch, error);
  }
};

// EncodeScriptFile of a stand-in encoder: "[kind|text]" or a refusal with a description.
class FakeEncoder : public DispatchObject {
 public:
  bool refuse = false;
  std::vector<std::wstring> lastArgs;
  // The references held besides the test's own.
  ULONG OthersHolding() {
    AddRef();
    return Release() - 1;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* p, VARIANT* result, EXCEPINFO* info,
                                   UINT*) override {
    if (id != 0 || p->cArgs != 4) return DISP_E_MEMBERNOTFOUND;
    lastArgs.clear();
    for (int i = 3; i >= 0; --i)
      lastArgs.push_back(p->rgvarg[i].vt == VT_BSTR ? std::wstring(p->rgvarg[i].bstrVal)
                                                    : std::to_wstring(p->rgvarg[i].lVal));
    if (refuse) {
      info->bstrDescription = SysAllocString(L"kind refused");
      info->scode = E_INVALIDARG;
      return DISP_E_EXCEPTION;
    }
    std::wstring out = L"[" + lastArgs[0] + L"|" + lastArgs[1] + L"]";
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocString(out.c_str());
    return S_OK;
  }
};

std::string SystemFolder() {
  char folder[MAX_PATH];
  return std::string(folder, GetSystemDirectoryA(folder, sizeof folder));
}

class ScriptCommandTest : public AppFixture {
 protected:
  RecordingLauncher launcher;
  FakeEncoder& encoder = *new FakeEncoder;  // the test's reference, released at its end
  HRESULT createResult = S_OK;
  std::string folder;
  std::string temp;  // the user's temporary folder, as the program sees it
  std::string savedTmp;

  void SetUp() override {
    temp = dir / "user temp";
    CreateDirectoryA(temp.c_str(), nullptr);
    char old[MAX_PATH] = "";
    GetEnvironmentVariableA("TMP", old, sizeof old);
    savedTmp = old;
    SetEnvironmentVariableA("TMP", temp.c_str());
    SetScriptLauncher(&launcher);
    SetScriptEncoderFactory([this](IDispatch** out) {
      if (FAILED(createResult)) return createResult;
      encoder.AddRef();
      *out = &encoder;
      return S_OK;
    });
    folder = dir / "my 作業 folder";
    CreateDirectoryA(folder.c_str(), nullptr);
    ASSERT_TRUE(Start());
  }
  void TearDown() override {
    AppFixture::TearDown();
    SetScriptLauncher(nullptr);
    SetScriptEncoderFactory(nullptr);
    encoder.Release();
    SetEnvironmentVariableA("TMP", savedTmp.empty() ? nullptr : savedTmp.c_str());
  }
  CMyDoc* Open(const std::string& name, const std::string& bytes = "WScript.Echo 1\r\n") {
    std::string path = folder + "\\" + name;
    WriteBytes(path, bytes);
    return dynamic_cast<CMyDoc*>(app->OpenDocumentFile(path.c_str()));
  }
  CMyEditView* View(CDocument* doc) { return dynamic_cast<CMyEditView*>(doc->GetFirstView()); }
  void Type(CDocument* doc, const char* text) {
    ::SetFocus(View(doc)->m_hWnd);
    View(doc)->ReplaceSelWithUndo(text);
  }
  bool Enabled(UINT id) {
    CCmdUI state;
    state.m_nID = id;
    state.DoUpdate(Frame(), true);
    return state.m_bEnabled;
  }
  // The parameters dialog answered with these texts and `button`.
  void AnswerParameters(const char* host, const char* script, int button) {
    ui.onDialog = [=](CDialog& dlg) {
      EXPECT_EQ(dlg.TemplateId(), 130u);
      dlg.SetDlgItemText(1000, host);
      dlg.SetDlgItemText(1001, script);
      return button;
    };
  }
};
}  // namespace

TEST_F(ScriptCommandTest, EnablingFollowsPathAndExtension) {
  Command(ID_FILE_NEW);
  for (UINT id : {32771u, 32775u, 32776u, 32786u}) EXPECT_FALSE(Enabled(id)) << id;
  ASSERT_NE(Open("page.HTA"), nullptr);
  EXPECT_TRUE(Enabled(32771));
  EXPECT_TRUE(Enabled(32786));
  EXPECT_FALSE(Enabled(32775));
  EXPECT_FALSE(Enabled(32776));
  ASSERT_NE(Open("run.VBS"), nullptr);
  for (UINT id : {32771u, 32775u, 32776u, 32786u}) EXPECT_TRUE(Enabled(id)) << id;
}

TEST_F(ScriptCommandTest, DefaultHostOpensTheQuotedNameInTheDocumentsFolderWithoutWritingIt) {
  ASSERT_NE(Open("my script.vbs"), nullptr);
  HANDLE h = CreateFileA((folder + "\\my script.vbs").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME before{};
  GetFileTime(h, nullptr, nullptr, &before);
  CloseHandle(h);
  Command(32771);
  ASSERT_EQ(launcher.launches.size(), 1u);
  const ScriptLaunch& l = launcher.launches[0];
  EXPECT_EQ(l.verb, "OPEN");
  EXPECT_EQ(l.file, "my script.vbs");
  EXPECT_EQ(l.parameters, "");
  EXPECT_EQ(l.folder, folder);
  EXPECT_EQ(l.show, 5);
  EXPECT_EQ(ReadBytes(folder + "\\my script.vbs"), "WScript.Echo 1\r\n");
  EXPECT_TRUE(ui.shown.empty());
}

TEST_F(ScriptCommandTest, WindowHostOkStoresParametersAtOnceAndPassesThemAsTyped) {
  SetIni("Settings", "HostParameter", "//old");
  CMyDoc* doc = Open("a&b.js");
  ASSERT_NE(doc, nullptr);
  std::string seenHost;
  ui.onDialog = [&](CDialog& dlg) {
    seenHost = dlg.GetDlgItemText(1000);
    dlg.SetDlgItemText(1000, "//nologo");
    dlg.SetDlgItemText(1001, "x \"y z\"");
    return IDOK;
  };
  Command(32775);
  EXPECT_EQ(seenHost, "//old");
  EXPECT_EQ(Ini("Settings", "HostParameter"), "//nologo");
  EXPECT_EQ(Ini("Settings", "ScriptParameter"), "x \"y z\"");
  ASSERT_EQ(launcher.launches.size(), 1u);
  EXPECT_EQ(launcher.launches[0].file, SystemFolder() + "\\WScript.exe");
  EXPECT_EQ(launcher.launches[0].parameters, "\"a&b.js\" //nologo x \"y z\"");
  EXPECT_EQ(launcher.launches[0].folder, folder);
}

TEST_F(ScriptCommandTest, CancelInTheParametersDialogRunsAndWritesNothing) {
  CMyDoc* doc = Open("a.js");
  ASSERT_NE(doc, nullptr);
  Type(doc, "x");
  AnswerParameters("//B", "1", IDCANCEL);
  Command(32776);
  EXPECT_TRUE(launcher.launches.empty());
  EXPECT_EQ(Ini("Settings", "HostParameter"), "<absent>");
  EXPECT_TRUE(doc->IsModified());
  EXPECT_FALSE(FileExists(temp + "\\__script.bat"));
}

TEST_F(ScriptCommandTest, ConsoleHostRunsTheWrapperInTheTemporaryFolderAfterSavingTheDocument) {
  CMyDoc* doc = Open("100% 日本.js", "");
  ASSERT_NE(doc, nullptr);
  Type(doc, "WScript.Echo(2);");
  AnswerParameters("//nologo", "", IDOK);
  Command(32776);
  EXPECT_FALSE(doc->IsModified());
  EXPECT_EQ(ReadBytes(folder + "\\100% 日本.js"), "WScript.Echo(2);");
  ASSERT_EQ(launcher.launches.size(), 1u);
  EXPECT_EQ(launcher.launches[0].file, temp + "\\__script.bat");
  EXPECT_EQ(launcher.launches[0].parameters, "");
  EXPECT_EQ(launcher.launches[0].folder, folder);
  EXPECT_EQ(launcher.wrapperAtLaunch, SystemFolder() + "\\CScript.exe \"100%% 日本.js\" //nologo\r\nPAUSE\r\n");
}

TEST_F(ScriptCommandTest, CancelInAnotherDocumentsSaveQuestionRunsNothing) {
  CMyDoc* other = Open("other.js");
  ASSERT_NE(other, nullptr);
  Type(other, "y");
  CMyDoc* doc = Open("run.js", "");
  ASSERT_NE(doc, nullptr);
  Type(doc, "z");
  ui.answers = {IDCANCEL};
  Command(32771);
  EXPECT_TRUE(launcher.launches.empty());
  EXPECT_EQ(ReadBytes(folder + "\\run.js"), "z");  // step 1 happened
  EXPECT_TRUE(other->IsModified());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_NE(ui.shown[0].text.find("other.js"), std::string::npos);
}

TEST_F(ScriptCommandTest, AFailedSaveStopsTheRun) {
  CMyDoc* doc = Open("locked.vbs");
  ASSERT_NE(doc, nullptr);
  std::string path = folder + "\\locked.vbs";
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY);
  Type(doc, "x");
  Command(32771);
  SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_TRUE(launcher.launches.empty());
  EXPECT_EQ(ReadBytes(path), "WScript.Echo 1\r\n");
  EXPECT_EQ(ui.shown.size(), 1u);  // the save's own report only
}

TEST_F(ScriptCommandTest, ShellRefusalIsReportedWithThePathAndError) {
  ASSERT_NE(Open("a.hta"), nullptr);
  launcher.refuseWith = 31;
  Command(32771);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "'" + folder + "\\a.hta' を開くことができません。(Error:31)");
  EXPECT_EQ(ui.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST_F(ScriptCommandTest, EncoderThatCannotBeCreatedGivesTwoBoxesAndWritesNothing) {
  ASSERT_NE(Open("a.js"), nullptr);
  createResult = REGDB_E_CLASSNOTREG;
  Command(32786);
  ASSERT_EQ(ui.shown.size(), 2u);
  EXPECT_EQ(ui.shown[0].text, "Scripting.Encoder オブジェクトを作成できません。");
  EXPECT_EQ(ui.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_FALSE(ui.shown[1].text.empty());
  EXPECT_EQ(ui.shown[1].type, static_cast<UINT>(MB_OK));
  EXPECT_EQ(ui.fileDialogs, 0);
}

TEST_F(ScriptCommandTest, EncodedCopyOfTheWindowsTextReplacesTheChosenFile) {
  CMyDoc* doc = Open("a.JS", "old");
  ASSERT_NE(doc, nullptr);
  Type(doc, "表");
  std::string proposed;
  ui.onFile = [&](CFileDialog& dlg) {
    proposed = dlg.m_ofn.lpstrFile;
    return IDOK;
  };
  WriteBytes(folder + "\\a.jse", "previous");
  SetFileAttributesA((folder + "\\a.jse").c_str(), FILE_ATTRIBUTE_HIDDEN);  // kept, as a document's save keeps it
  Command(32786);
  EXPECT_EQ(proposed, folder + "\\a.jse");
  EXPECT_EQ(ReadBytes(folder + "\\a.jse"), "[.js|表old]");
  EXPECT_TRUE(GetFileAttributesA((folder + "\\a.jse").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  ASSERT_EQ(encoder.lastArgs.size(), 4u);
  EXPECT_EQ(encoder.lastArgs[2], L"0");
  EXPECT_EQ(encoder.lastArgs[3], L"");
  EXPECT_TRUE(doc->IsModified());
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "エンコードファイル '" + folder + "\\a.jse' を出力しました。");
  EXPECT_EQ(encoder.OthersHolding(), 0u);
}

TEST_F(ScriptCommandTest, RefusingEncoderLeavesTheTargetUntouched) {
  ASSERT_NE(Open("job.wsf", "<job/>"), nullptr);
  encoder.refuse = true;
  ui.onFile = [&](CFileDialog& dlg) { return IDOK; };  // the proposed name
  Command(32786);
  EXPECT_EQ(ReadBytes(folder + "\\job.wsf"), "<job/>");
  EXPECT_FALSE(FileExists(folder + "\\job.encoded.wsf"));
  EXPECT_EQ(encoder.lastArgs.at(0), L".sct");
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text, "kind refused");
  EXPECT_EQ(ui.shown[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
}

TEST_F(ScriptCommandTest, FailedWriteOfTheEncodedFileIsReportedInsteadOfSuccess) {
  ASSERT_NE(Open("a.vbs"), nullptr);
  CreateDirectoryA((folder + "\\a.vbe").c_str(), nullptr);  // cannot be replaced by a file
  ui.onFile = [&](CFileDialog& dlg) { return IDOK; };
  Command(32786);
  ASSERT_EQ(ui.shown.size(), 1u);
  EXPECT_EQ(ui.shown[0].text.find("出力しました"), std::string::npos);
  EXPECT_NE(ui.shown[0].text.find("a.vbe"), std::string::npos);
  std::vector<std::string> left;
  WIN32_FIND_DATAA found;
  HANDLE h = FindFirstFileA((folder + "\\*").c_str(), &found);
  do left.push_back(found.cFileName); while (FindNextFileA(h, &found));
  FindClose(h);
  EXPECT_EQ(left, (std::vector<std::string>{".", "..", "a.vbe", "a.vbs"}));  // no temporary file left
}

TEST_F(ScriptCommandTest, AScriptSavedAsUtf8IsRunOrEncodedOnlyAfterTheUserSaysYes) {
  const std::string utf8 = "WScript.Echo \"\xE6\x97\xA5\xE6\x9C\xAC\"\r\n";  // 日本 in UTF-8
  struct Case {
    const char* name;
    std::string bytes;
    bool autoDetect;  // on: files are read and saved in their encodings; off: as they are
    UINT command;
    int answer;
    size_t launches;
    int fileDialogs;
  } cases[] = {
      {"no.js", utf8, true, 32771, IDNO, 0, 0},
      {"bom.js", "\xEF\xBB\xBF" + utf8, true, 32771, IDNO, 0, 0},
      {"yes.js", utf8, true, 32771, IDYES, 1, 0},
      {"enc.js", utf8, true, 32786, IDNO, 0, 0},
      {"raw no.js", utf8, false, 32771, IDNO, 0, 0},
      {"raw yes.js", utf8, false, 32771, IDYES, 1, 0},
  };
  for (const Case& c : cases) {
    Settings().m_autoKanji = c.autoDetect;
    ASSERT_NE(Open(c.name, c.bytes), nullptr) << c.name;
    launcher.launches.clear();
    ui.shown.clear();
    ui.fileDialogs = 0;
    ui.answers = {c.answer};
    Command(c.command);
    ASSERT_FALSE(ui.shown.empty()) << c.name;
    EXPECT_NE(ui.shown[0].text.find(folder + "\\" + c.name), std::string::npos) << c.name;
    EXPECT_NE(ui.shown[0].text.find("UTF-8"), std::string::npos) << c.name;
    EXPECT_EQ(ui.shown[0].type & (MB_TYPEMASK | MB_DEFMASK), static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2)) << c.name;
    EXPECT_EQ(launcher.launches.size(), c.launches) << c.name;
    EXPECT_EQ(ui.fileDialogs, c.fileDialogs) << c.name;
  }
}

TEST_F(ScriptCommandTest, AConsoleStillRunningKeepsItsWrapperAndTheNextRunWritesAnother) {
  WriteBytes(temp + "\\__script4.bat", "another instance's");
  ASSERT_NE(Open("first.js"), nullptr);
  const std::string cscript = SystemFolder() + "\\CScript.exe";
  launcher.watch = true;
  AnswerParameters("", "", IDOK);
  Command(32776);
  ASSERT_NE(Open("second script.js"), nullptr);
  Command(32776);
  ASSERT_EQ(launcher.launches.size(), 2u);
  EXPECT_EQ(launcher.launches[0].file, temp + "\\__script.bat");
  EXPECT_EQ(launcher.launches[1].file, temp + "\\__script2.bat");
  EXPECT_EQ(ReadBytes(temp + "\\__script.bat"), cscript + " first.js\r\nPAUSE\r\n");
  EXPECT_EQ(ReadBytes(temp + "\\__script2.bat"), cscript + " \"second script.js\"\r\nPAUSE\r\n");
  // The first console ends: its wrapper goes at the next run, which takes the name again.
  ASSERT_EQ(launcher.running.size(), 2u);
  SetEvent(launcher.running[0]);
  Command(32776);
  ASSERT_EQ(launcher.launches.size(), 3u);
  EXPECT_EQ(launcher.launches[2].file, temp + "\\__script.bat");
  EXPECT_EQ(ReadBytes(temp + "\\__script.bat"), cscript + " \"second script.js\"\r\nPAUSE\r\n");
  EXPECT_TRUE(FileExists(temp + "\\__script2.bat"));
  // A refused start leaves no wrapper behind.
  launcher.refuseWith = 2;
  Command(32776);
  EXPECT_FALSE(FileExists(temp + "\\__script3.bat"));
  // The exit removes the wrappers of ended consoles only, and only its own.
  SetEvent(launcher.running[1]);
  Exit();
  EXPECT_FALSE(FileExists(temp + "\\__script2.bat"));
  EXPECT_TRUE(FileExists(temp + "\\__script.bat"));  // its console still reads it
  EXPECT_TRUE(FileExists(temp + "\\__script4.bat"));
  for (HANDLE h : launcher.running) SetEvent(h);
}

TEST_F(ScriptCommandTest, AnEncodedCopyOverTheFileOfAnOpenScriptIsAskedWithNoFirstAndLeavesItsWindowModified) {
  CMyDoc* lib = Open("lib.wsf", "<lib/>");
  CMyDoc* job = Open("job.wsf", "<job/>");  // active
  ASSERT_TRUE(job && lib);
  struct Case {
    const char* chosen;  // spelt otherwise than the document's path
    int answer;
    size_t fileDialogs;  // No goes back to the dialog, cancelled then
    const char* jobFile;
    const char* libFile;
  } cases[] = {
      {"JOB.WSF", IDNO, 2, "<job/>", "<lib/>"},
      {"Lib.wsf", IDYES, 1, "<job/>", "[.sct|<job/>]"},
      {"JOB.WSF", IDYES, 1, "[.sct|<job/>]", "[.sct|<job/>]"},
  };
  for (const Case& c : cases) {
    ui.shown.clear();
    ui.answers = {c.answer};
    std::vector<std::string> proposed;
    ui.onFile = [&](CFileDialog& dlg) {
      proposed.push_back(dlg.m_ofn.lpstrFile);
      dlg.SetChosenPath(folder + "\\" + c.chosen);
      return proposed.size() > 1 ? IDCANCEL : IDOK;
    };
    Command(32786);
    EXPECT_EQ(proposed, std::vector<std::string>(c.fileDialogs, folder + "\\job.encoded.wsf")) << c.chosen;
    ASSERT_FALSE(ui.shown.empty()) << c.chosen;
    EXPECT_EQ(ui.shown[0].type & (MB_TYPEMASK | MB_DEFMASK), static_cast<UINT>(MB_YESNO | MB_DEFBUTTON2)) << c.chosen;
    EXPECT_EQ(ReadBytes(folder + "\\job.wsf"), c.jobFile) << c.chosen;
    EXPECT_EQ(ReadBytes(folder + "\\lib.wsf"), c.libFile) << c.chosen;
    EXPECT_EQ(job->IsModified(), ReadBytes(folder + "\\job.wsf") != "<job/>") << c.chosen;
    EXPECT_EQ(lib->IsModified(), ReadBytes(folder + "\\lib.wsf") != "<lib/>") << c.chosen;
  }
}
