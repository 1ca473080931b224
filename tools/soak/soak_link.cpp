// soak_link: downloads, uploads and last-key queries of the real device link through the real
// serial component against zak-sim with random faults, checking every byte (see --help).
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <optional>
#include <random>
#include <string>

#include "Comm32.h"
#include "KeyConversion.h"
#include "KeyEditor.h"
#include "SimProcess.h"
#include "SoakLoop.h"
#include "TransferRange.h"
#include "ZakLink.h"

namespace zak::soak {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* Version = "soak_link 1.0";

const char* const Usage =
    "Usage: soak_link [options]\n"
    "Runs downloads, uploads and last-key queries of ZAK Manager's device link through its\n"
    "serial component against zak-sim on a pseudo-terminal, whose replies get random faults.\n"
    "A transfer that stands still is given again, as an operator would. After every transfer\n"
    "the unit's memory and the image are compared byte for byte. Prints one line:\n"
    "  transfers, faults injected, stalls recovered, wrong bytes.\n"
    "\n"
    "Options:\n"
    "  --transfers N   stop after N transfers (default 1000)\n"
    "  --seconds S     ... or after S seconds, whichever comes first\n"
    "  --faults P      the chance of a fault for each reply, in % (default 3)\n"
    "  --seed N        the seed of the unit's faults and of the soak's choices (default 1)\n"
    "  --gap MS        the silence that ends a burst, on both ends (default 20)\n"
    "  --sim PATH      the zak-sim to run (default: next to this program)\n"
    "  -h, --help      show this text\n"
    "  --version       show the version\n"
    "\n"
    "Exit status: 0 no wrong byte; 1 a wrong byte, or a transfer that never ended; 2 wrong\n"
    "options or no simulated unit.\n";

struct Options {
    int transfers = 1000;
    int seconds = 0;
    int faults = 3;
    int seed = 1;
    int gapMs = 20;
    std::string sim;
};

bool toInt(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    if (*text == '\0' || *end != '\0' || v < low || v > high)
        return false;
    value = static_cast<int>(v);
    return true;
}

// The options, or the exit status to end with at once.
std::optional<int> ParseOptions(int argc, char** argv, Options& o) {
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const char* value = i + 1 < argc ? argv[i + 1] : "";
        bool ok = true;
        if (arg == "-h" || arg == "--help") {
            std::cout << Usage;
            return 0;
        } else if (arg == "--version") {
            std::cout << Version << '\n';
            return 0;
        } else if (arg == "--transfers") {
            ok = toInt(value, 1, 100000000, o.transfers);
        } else if (arg == "--seconds") {
            ok = toInt(value, 1, 100000000, o.seconds);
        } else if (arg == "--faults") {
            ok = toInt(value, 0, 100, o.faults);
        } else if (arg == "--seed") {
            ok = toInt(value, 0, 1 << 30, o.seed);
        } else if (arg == "--gap") {
            ok = toInt(value, 5, 1000, o.gapMs);
        } else if (arg == "--sim") {
            o.sim = value;
            ok = !o.sim.empty();
        } else {
            std::cerr << "soak_link: unknown option " << arg << " (see --help)\n";
            return 2;
        }
        if (!ok) {
            std::cerr << "soak_link: " << arg << " needs a valid value (see --help)\n";
            return 2;
        }
        ++i;
    }
    if (o.sim.empty()) {
        const std::string self = argv[0];
        const auto slash = self.rfind('/');
        o.sim =
            (slash == std::string::npos ? std::string(".") : self.substr(0, slash)) + "/zak-sim";
    }
    return std::nullopt;
}

// The window's part, as far as the link asks for it.
class SoakWindow : public LinkWindow {
  public:
    SoakWindow(KeyTable& t, MemoryImage& m) : klice(t), pamet(m) {}

    KeyTable& klice;
    MemoryImage& pamet;
    int framesSent = 0;
    bool ended = false;       // a transfer ended: progress back to 0
    bool downloaded = false;  // ... and it was a download
    bool answered = false;    // a last-key query was answered
    Clock::time_point lastProgress = Clock::now();
    std::string message;

    void AppendLog(const std::string& line) override {
        if (line.rfind("-> ", 0) == 0)
            ++framesSent;
    }
    void ShowProgress(int, int position) override {
        lastProgress = Clock::now();
        if (position == 0)
            ended = true;
    }
    void ImageChanged() override { pamet.vezmiZmeny(); }
    void DownloadFinished() override {
        downloaded = true;
        Mem2Keys(pamet, klice);
    }
    void KeysToImage() override {
        answered = true;
        Keys2Mem(klice, pamet);
    }
    void ShowKey(int) override {}
    void ShowKeyRow(int) override {}
    void ShowPresentedId(const std::string&) override {}
    void Inform(const std::string& text) override {
        answered = true;
        message = text;
    }
};

class SoakPort : public LinkPort {
  public:
    explicit SoakPort(TComm32& comm) : comm_(comm) {}
    bool EnsureOpen() override { return comm_.IsOpen() || comm_.StartComm(); }
    void QueueByte(std::uint8_t byte) override { comm_.WriteCommData(&byte, 1); }

  private:
    TComm32& comm_;
};

class SoakClock : public LinkClock {
  public:
    SoakClock(SoakLoop& loop, ZakLink*& link) : loop_(loop), link_(link) {}
    TimePoint Now() override { return Clock::now(); }
    void CallTickAfter(std::chrono::milliseconds delay) override {
        loop_.after(delay, [this] { link_->Tick(); });
    }

  private:
    SoakLoop& loop_;
    ZakLink*& link_;
};

// How soon zak-sim answers on a pseudo-terminal, with room for a busy machine.
constexpr std::chrono::milliseconds SimTurnaround{200};

// A pseudo-terminal moves bytes at once: the line's own time is next to nothing.
LineTiming SoakLine(const Options& o) {
    return {115200, std::chrono::milliseconds{o.gapMs}};
}

// The longest the link waits for any reply.
std::chrono::milliseconds SoakReplyWait(const Options& o) {
    return std::max(LongestReplyTime(SoakLine(o), FrameCode::CmdReadBlock, SimTurnaround),
                    LongestReplyTime(SoakLine(o), FrameCode::CmdWriteBlock, SimTurnaround));
}

// The unit's delayed replies come this late: past the reply wait, so that the request stalls,
// but before the operator's patience (twice the wait at least) gives the command again. A
// reply later than any command given after it would land on that command's request: no rule
// can tell it apart, which is why the link's wait is the unit's longest reply time.
std::chrono::milliseconds DelayFault(const Options& o) {
    return SoakReplyWait(o) + SoakReplyWait(o) / 4;
}

class Soak {
  public:
    Soak(const Options& o, test::SimProcess& sim, const std::string& path)
        : options_(o), sim_(sim), random_(static_cast<std::uint32_t>(o.seed)) {
        comm_.SetCommPort(path);
        comm_.SetBaudRate(2400);
        comm_.SetBurstGap(std::chrono::milliseconds{o.gapMs});
        comm_.SetOnReceiveData(
            [this](const std::uint8_t* b, std::uint16_t n) { link_.Comm321ReceiveData(b, n); });
        link_.SetLineTiming(SoakLine(o), SimTurnaround);
        replyWait_ = SoakReplyWait(o);
    }

    ~Soak() { comm_.StopComm(); }

    // Runs until the transfers or the time are done; the exit status.
    int run() {
        const auto start = Clock::now();
        const auto end = start + std::chrono::seconds{options_.seconds};
        const bool bar = ::isatty(2) != 0;
        while (transfers_ < options_.transfers && (options_.seconds == 0 || Clock::now() < end)) {
            const int pick = std::uniform_int_distribution<int>(0, 9)(random_);
            const bool ok = pick < 4 ? upload() : pick < 8 ? download() : lastKey();
            if (!ok) {
                std::cerr << "soak_link: a transfer never ended" << std::endl;
                stuck_ = true;
                break;
            }
            ++transfers_;
            if (bar)
                std::cerr << "\r" << transfers_ << " transfers, " << wrongBytes_ << " wrong bytes"
                          << std::flush;
        }
        if (bar)
            std::cerr << std::endl;
        const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
        std::printf(
            "transfers %d (downloads %d, uploads %d, last-key queries %d), faults injected %d, "
            "stalls recovered %d, wrong bytes %ld, %.0f s\n",
            transfers_, downloads_, uploads_, queries_, faultsInjected(), stalls_, wrongBytes_,
            seconds);
        return wrongBytes_ == 0 && !stuck_ ? 0 : 1;
    }

  private:
    // A new key table for an upload: up to 12 keys with random IDs, floors and comments, at
    // most 26 blocks, so that a transfer often gets through between two faults.
    void newTable() {
        klice_ = KeyTable{};
        const int n = std::uniform_int_distribution<int>(0, 12)(random_);
        klice_.UkladatKomentare = std::uniform_int_distribution<int>(0, 1)(random_) == 1;
        klice_.DelkaKomentare =
            static_cast<std::uint16_t>(std::uniform_int_distribution<int>(1, 20)(random_));
        std::uniform_int_distribution<int> byte(0, 255);
        for (int k = 1; k <= n; ++k) {
            PridejKlic(klice_);
            TKlic& key = klice_.klic(k);
            for (auto& b : key.Kod)
                b = static_cast<std::uint8_t>(byte(random_));
            key.ID = Kod2ID(key.Kod);
            for (auto& p : key.Patra)
                p = static_cast<std::uint8_t>(byte(random_) & 1);
            key.Komentar = "Key " + std::to_string(byte(random_) * k);
        }
        Keys2Mem(klice_, pamet_);
    }

    // The bytes a transfer moves for the table's settings: 28 up to the end of its last block.
    int transferredEnd() const { return TransferBlocks(TransferEnd(klice_)).back() + BlockLength; }

    bool upload() {
        newTable();
        ++uploads_;
        if (!transfer([this] { link_.UploadButtClick(); }, [this] { return window_.ended; }))
            return false;
        const int end = transferredEnd();
        for (int a = FirstBlockAddr; a < end; ++a)
            unit_[static_cast<std::size_t>(a)] = pamet_[a];
        checkUnit();
        return true;
    }

    bool download() {
        // What the image held before must not survive where the unit's blocks belong.
        std::uniform_int_distribution<int> byte(0, 255);
        for (int a = FirstBlockAddr; a < VelikostPameti; ++a)
            pamet_.zapis(a, static_cast<std::uint8_t>(byte(random_)));
        pamet_.vezmiZmeny();
        klice_ = KeyTable{};
        ++downloads_;
        if (!transfer([this] { link_.DownloadButtClick(); },
                      [this] { return window_.ended && window_.downloaded; }))
            return false;
        const int end = transferredEnd();
        for (int a = FirstBlockAddr; a < end; ++a)
            wrongBytes_ += pamet_[a] != unit_[static_cast<std::size_t>(a)];
        checkUnit();
        return true;
    }

    bool lastKey() {
        TKod kod{};
        std::uniform_int_distribution<int> byte(0, 255);
        for (auto& b : kod)
            b = static_cast<std::uint8_t>(byte(random_));
        const std::string id = Kod2ID(kod);
        if (sim_.command("present " + id) != "ok")
            return false;
        ++queries_;
        const int before = klice_.PocetKlicu;
        const int stallsBefore = stalls_;
        if (!transfer([this] { link_.btnSendCRClick(); }, [this] { return window_.answered; }))
            return false;
        if (klice_.PocetKlicu == before + 1) {
            wrongBytes_ += CountWrong(klice_.klic(klice_.PocetKlicu).Kod, kod);
        } else if (window_.message == "Klíč nalezen v databázi.") {
            wrongBytes_ += CountWrong(klice_.klic(klice_.AktKlic).Kod, kod);
        } else if (stalls_ == stallsBefore) {
            // "No new key" although a key was presented and its reply was not lost.
            wrongBytes_ += DelkaKodu;
        }
        settle();
        return true;
    }

    static int CountWrong(const TKod& got, const TKod& want) {
        int wrong = 0;
        for (std::size_t i = 0; i < got.size(); ++i)
            wrong += got[i] != want[i];
        return wrong;
    }

    // Gives the command, and gives it again whenever the link has stood still longer than the
    // operator's patience, until `done`.
    bool transfer(const std::function<void()>& command, const std::function<bool()>& done) {
        window_.ended = window_.downloaded = window_.answered = false;
        window_.message.clear();
        for (int attempt = 0; attempt < 100; ++attempt) {
            if (attempt > 0)
                ++stalls_;
            window_.lastProgress = Clock::now();
            command();
            std::uniform_int_distribution<int> patience(2 * static_cast<int>(replyWait_.count()),
                                                        3 * static_cast<int>(replyWait_.count()));
            const auto wait = std::chrono::milliseconds{patience(random_)};
            const bool finished = loop_.runUntil(
                [&] { return done() || Clock::now() - window_.lastProgress > wait; }, 600s);
            if (done())
                return true;
            if (!finished)
                return false;
        }
        return false;
    }

    // Waits until the unit has taken every request sent: the memory it answers with is then
    // final.
    void settle() {
        const std::string want = "requests " + std::to_string(window_.framesSent) + " ";
        for (int i = 0; i < 200; ++i) {
            lastStats_ = sim_.command("stats");
            if (lastStats_.rfind(want, 0) == 0)
                return;
            loop_.runUntil([] { return false; }, 10ms);
        }
    }

    // The unit's whole memory must be what the uploads put there.
    void checkUnit() {
        settle();
        char path[] = "/tmp/soak-link-XXXXXX";
        const int fd = ::mkstemp(path);
        if (fd < 0)
            return;
        ::close(fd);
        if (sim_.command(std::string("dump ") + path) == "ok") {
            std::ifstream in(path, std::ios::binary);
            const std::string bytes((std::istreambuf_iterator<char>(in)), {});
            for (std::size_t a = 0; a < unit_.size(); ++a) {
                const auto b = a < bytes.size() ? static_cast<std::uint8_t>(bytes[a]) : 0;
                if (b != unit_[a]) {
                    ++wrongBytes_;
                    unit_[a] = b;  // counted once
                }
            }
        }
        std::remove(path);
    }

    int faultsInjected() {
        settle();
        const auto at = lastStats_.find("faults ");
        return at == std::string::npos ? -1 : std::atoi(lastStats_.c_str() + at + 7);
    }

    Options options_;
    test::SimProcess& sim_;
    std::mt19937 random_;
    SoakLoop loop_;
    TComm32 comm_{loop_};
    KeyTable klice_;
    MemoryImage pamet_;
    SoakPort port_{comm_};
    SoakWindow window_{klice_, pamet_};
    ZakLink* linkForClock_ = &link_;
    SoakClock clock_{loop_, linkForClock_};
    ZakLink link_{klice_, pamet_, port_, window_, clock_};
    std::chrono::milliseconds replyWait_{};
    // What the unit's memory must hold.
    std::array<std::uint8_t, 32768> unit_{};
    std::string lastStats_;

    int transfers_ = 0, downloads_ = 0, uploads_ = 0, queries_ = 0, stalls_ = 0;
    long wrongBytes_ = 0;
    bool stuck_ = false;
};

int Main(int argc, char** argv) {
    Options o;
    if (const auto exit = ParseOptions(argc, argv, o))
        return *exit;
    if (::access(o.sim.c_str(), X_OK) != 0) {
        std::cerr << "soak_link: no zak-sim at " << o.sim << " (see --sim)\n";
        return 2;
    }
    // The unit's turnaround keeps its replies apart as bursts, also a reply sent twice from
    // the reply behind it.
    test::SimProcess sim({o.sim, "--gap", std::to_string(o.gapMs), "--turnaround",
                          std::to_string(2 * o.gapMs), "--random-faults", std::to_string(o.faults),
                          "--seed", std::to_string(o.seed), "--random-delay",
                          std::to_string(DelayFault(o).count())});
    const std::string first = sim.firstLine();
    const auto eq = first.find('=');
    if (eq == std::string::npos) {
        std::cerr << "soak_link: zak-sim did not start\n";
        return 2;
    }
    Soak soak(o, sim, first.substr(eq + 1));
    return soak.run();
}

}  // namespace
}  // namespace zak::soak

int main(int argc, char** argv) {
    return zak::soak::Main(argc, argv);
}
