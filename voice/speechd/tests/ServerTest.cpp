// sd_vorsan under a real, private speech-dispatcher: its own unix socket and
// configuration in a temporary folder, our module as the only one added,
// ALSA's file output instead of a sound card, spd-say -w under timeout.
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "ModuleProcess.h"
#include "vorsan/testing/TestSupport.h"

using namespace vorsan::testing;
namespace fs = std::filesystem;

namespace {

// Seconds a sanitized build may need; ASan and TSan make the module slower.
constexpr const char* kSayTimeout = "120";

std::string slurp(const fs::path& p) {
    std::ifstream f(p);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

std::string quoted(const std::string& s) {
    std::string out = "'";
    for (char c : s) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return out + "'";
}

class PrivateServer {
public:
    explicit PrivateServer(const fs::path& dir) : dir_(dir) {
        fs::create_directories(dir / "home/.config/speech-dispatcher");
        fs::create_directories(dir / "run");
        fs::create_directories(dir / "log");
        fs::permissions(dir / "run", fs::perms::owner_all, fs::perm_options::replace);
        std::ofstream conf(dir / "home/.config/speech-dispatcher/speechd.conf");
        conf << "LogLevel 4\nLogDir \"" << (dir / "log").string() << "\"\n"
             << "AddModule \"vorsan\" \"" << SD_VORSAN << "\" \"vorsan.conf\"\n"
             << "DefaultModule vorsan\n"
             << "AudioOutputMethod \"alsa\"\n"
             << "AudioALSADevice \"file:'" << capture().string() << "',raw\"\n";
        conf.close();
        socket_ = (dir / "sd.sock").string();
        pid_ = fork();
        if (pid_ == 0) {
            setenv("HOME", (dir / "home").c_str(), 1);
            setenv("XDG_CONFIG_HOME", (dir / "home/.config").c_str(), 1);
            setenv("XDG_RUNTIME_DIR", (dir / "run").c_str(), 1);
            const std::string out = (dir / "log/server.out").string();
            freopen(out.c_str(), "w", stdout);
            freopen(out.c_str(), "a", stderr);
            execlp("timeout", "timeout", "300", "speech-dispatcher", "-s", "-t", "0", "-c", "unix_socket", "-S",
                   socket_.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
        for (int i = 0; i < 200 && !fs::exists(socket_); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ~PrivateServer() {
        if (pid_ > 0) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool running() const { return fs::exists(socket_); }
    fs::path capture() const { return dir_ / "capture.raw"; }
    std::uintmax_t captured() const { return fs::exists(capture()) ? fs::file_size(capture()) : 0; }
    std::string log() const { return slurp(dir_ / "log/speech-dispatcher.log") + slurp(dir_ / "log/server.out"); }
    // The module's standard error, which the server keeps as its log.
    std::string moduleLog() const { return slurp(dir_ / "log/vorsan.log"); }

    // spd-say -w with these arguments; its exit status.
    int say(const std::string& args) const {
        const std::string command = "SPEECHD_ADDRESS=unix_socket:" + socket_ + " timeout " + kSayTimeout +
                                    " spd-say -w -o vorsan " + args + " >/dev/null 2>&1";
        return std::system(command.c_str());
    }

private:
    fs::path dir_;
    std::string socket_;
    pid_t pid_ = -1;
};

bool installed(const char* program) {
    return std::system(("command -v " + std::string(program) + " >/dev/null 2>&1").c_str()) == 0;
}

} // namespace

TEST(Server, SpeaksHindiTamilAndEnglishThroughTheModule) {
    ASSERT_TRUE(installed("speech-dispatcher") && installed("spd-say"))
        << "speech-dispatcher and spd-say are needed (scripts/setup.sh installs them)";
    TempProfile profile;
    setenv("VORSAN_SYSTEM_REGISTRY", (profile.path() / "etc-registry").c_str(), 1);
    installData();

    // What each text sounds like through the module alone, in samples.
    // The last is a voice type, which the server hands on ("voice=female1")
    // (its audio has more samples: it is played faster to raise the formants).
    struct Case {
        const char* language;
        const char* text;
        const char* voiceType = "MALE1";
        std::size_t samples = 0;
    };
    Case cases[] = {{"hi", "नमस्ते दुनिया"},
                    {"ta", "வணக்கம் நண்பரே"},
                    {"en", "Good morning to you"},
                    {"hi", "नमस्ते दुनिया", "FEMALE1"}};
    {
        ModuleProcess m;
        m.start();
        for (Case& c : cases)
            c.samples = m.speak(std::string("<speak>") + c.text + "</speak>",
                                std::string("language=") + c.language + "\nvoice_type=" + c.voiceType + "\n")
                            .samples.size();
        m.quit();
    }
    ASSERT_GT(cases[3].samples, cases[0].samples * 11 / 10);

    PrivateServer server(profile.path() / "speechd");
    ASSERT_TRUE(server.running()) << server.log();
    for (const Case& c : cases) {
        const std::uintmax_t before = server.captured();
        std::string type = c.voiceType == std::string("MALE1") ? "" : std::string(" -t ") + c.voiceType;
        for (char& ch : type) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch))); // as spd-say takes it
        ASSERT_EQ(server.say(std::string("-l ") + c.language + type + " " + quoted(c.text)), 0)
            << c.language << "\n" << server.log();
        // The server played what our module made (another module's audio
        // would differ in length), all of it.
        const double got = static_cast<double>(server.captured() - before) / 2;
        EXPECT_NEAR(got, static_cast<double>(c.samples), 0.05 * static_cast<double>(c.samples) + 1600)
            << c.language << " " << c.voiceType;
    }
    // The module itself logged each message (at the server's debugging log
    // level), so none went silently to another module.
    for (const Case& c : cases)
        EXPECT_NE(server.moduleLog().find(std::string("language '") + c.language + "'"), std::string::npos)
            << c.language << "\n" << server.moduleLog();
    EXPECT_NE(server.moduleLog().find("voice type FEMALE1"), std::string::npos) << server.moduleLog();
    unsetenv("VORSAN_SYSTEM_REGISTRY");
}
