// A save and a load of two store objects on one folder, in every order of
// their steps. Each runs on its own thread up to its next step on the index,
// the Mac file or the new index (the store's step seam), and the test chooses
// who goes on. A save's step may also meet the load's read of a file: the
// read holds the file open (a real handle, shared as the C runtime shares
// it: reading and writing, not deleting), so that a move onto or off it
// fails as it would then. Whatever the order, the folder ends as the old
// store or the new one, and the save's result says which. What a power loss
// between two steps leaves is a save stopped there (see the change tests);
// only Windows can show a real one.
#include <windows.h>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <set>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "folder_steps.h"
#include "qen_lib/fu_replace.h"
#include "store_fixtures.h"
#include "support/temp_folder.h"
#include "vornpath/pki/FileBaseCertificateStore.h"
#include "vornpath/pki/store_result.h"
#include "win/handle.h"

using namespace vornpath::pki;
using namespace store_test;
using testing_support::exists;
using testing_support::read_bytes;

namespace {

enum Actor { kSave, kLoad, kActors };

// The actor that the running thread is; none on the test's own thread.
thread_local int t_actor = -1;

// The save stops before each step that changes a file, the load before each
// of its steps; only one of them runs at a time.
class TakingTurns {
public:
    TakingTurns() {
        s_turns = this;
        detail::step_function() = Announce;
    }
    ~TakingTurns() {
        for (std::thread& thread : m_threads) {
            if (thread.joinable()) thread.join();
        }
        detail::step_function() = nullptr;
    }
    TakingTurns(const TakingTurns&) = delete;
    TakingTurns& operator=(const TakingTurns&) = delete;

    // The operation waits on its own thread for its first turn.
    void Start(int actor, std::function<void()> operation) {
        m_threads[actor] = std::thread([this, actor, operation] {
            t_actor = actor;
            WaitForTurn(actor);
            operation();
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_done[actor] = true;
            GiveBack();
        });
    }
    // The actor runs up to its next step, or to its end.
    void Turn(int actor) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_turn = actor;
        m_changed.notify_all();
        m_changed.wait(lock, [this] { return m_turn < 0; });
    }
    bool done(int actor) const { return m_done[actor]; }
    // The file of the actor's next step, and whether the step changes it;
    // "" before its first step.
    const std::pair<std::wstring, bool>& next(int actor) const { return m_next[actor]; }

private:
    static void Announce(const std::wstring& path, bool changes) {
        if (t_actor < 0 || (t_actor == kSave && !changes)) return;
        std::unique_lock<std::mutex> lock(s_turns->m_mutex);
        s_turns->m_next[t_actor] = {path, changes};
        s_turns->GiveBack();
        lock.unlock();
        s_turns->WaitForTurn(t_actor);
    }
    void GiveBack() {
        m_turn = -1;
        m_changed.notify_all();
    }
    void WaitForTurn(int actor) {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_changed.wait(lock, [this, actor] { return m_turn == actor; });
    }

    static TakingTurns* s_turns;
    std::mutex m_mutex;
    std::condition_variable m_changed;
    int m_turn = -1;
    bool m_done[kActors] = {};
    std::pair<std::wstring, bool> m_next[kActors];
    std::thread m_threads[kActors];
};

TakingTurns* TakingTurns::s_turns = nullptr;

// Where more than one could go on: which went, of how many.
struct Choice {
    int taken;
    int open;
};

// The folder's index and Mac file are those of the fixture's store, with no
// new file left beside them.
bool Holds(const std::wstring& folder, const wchar_t* fixture) {
    for (const wchar_t* name : {L"\\indexV2.txt", L"\\indexV2.txt.0"}) {
        if (read_bytes(folder + name) != read_bytes(Fixture(fixture) + name)) return false;
    }
    return !exists(folder + L"\\indexV2.txt.new") && !exists(folder + L"\\indexV2.txt.0.new");
}

// Whether the save's next step changes the file that the load's next step
// reads: the new index's move changes it as well as the index.
bool MeetsTheRead(const std::pair<std::wstring, bool>& save, const std::pair<std::wstring, bool>& load) {
    if (save.first.empty() || load.first.empty() || load.second) return false;
    return load.first == save.first || load.first == FU_NewFilePath(save.first);
}

// What the save gave, how many certificates the load read, and whether the
// save ended with its new index still beside the index (a stopped save).
using Outcome = std::tuple<int, int, bool>;

// The fourth root added to the store of three while a second store object
// loads it, in the order that the choices give (the first open one past
// them); the choices made.
std::vector<Choice> SaveBesideALoad(const std::vector<int>& choices, Outcome& outcome) {
    testing_support::TempFolder temp;
    const std::wstring folder = CopyStore(Fixture(L"rows\\intact\\cs1"), temp);
    FileBaseCertificateStore saver(folder), loader(folder);
    EXPECT_EQ(STORE_OK, saver.Setup(false));
    const qen_lib::cert::Cert added = LoadRoot(L"003.der");
    int saved = -1, loaded = -1;
    bool stopped = false;
    std::vector<Choice> made;
    {
        TakingTurns turns;
        turns.Start(kSave, [&] { saved = saver.AddCert(added, false); });
        turns.Start(kLoad, [&] { loaded = loader.Setup(false); });
        while (!turns.done(kSave) || !turns.done(kLoad)) {
            // 0: the load goes on; 1: the save; 2: the save while the load's
            // read holds its file.
            std::vector<int> open;
            if (!turns.done(kLoad)) open.push_back(0);
            if (!turns.done(kSave)) open.push_back(1);
            if (open.size() == 2 && MeetsTheRead(turns.next(kSave), turns.next(kLoad))) open.push_back(2);
            int taken = 0;
            if (open.size() > 1) {
                taken = made.size() < choices.size() ? choices[made.size()] : 0;
                made.push_back({taken, static_cast<int>(open.size())});
            }
            const win::FileHandle held(open[taken] == 2 ? CreateFileW(turns.next(kLoad).first.c_str(), GENERIC_READ,
                                                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                                      OPEN_EXISTING, 0, nullptr)
                                                        : INVALID_HANDLE_VALUE);
            turns.Turn(open[taken] == 0 ? kLoad : kSave);
            stopped |= open[taken] != 0 && turns.done(kSave) && exists(FU_NewFilePath(folder + L"\\indexV2.txt"));
        }
    }
    const bool newStands = saved == STORE_OK;
    outcome = Outcome(saved, CertCount(loader), stopped);
    EXPECT_EQ(STORE_OK, loaded);
    EXPECT_TRUE(newStands || std::get<1>(outcome) == 3) << "the load read a store that the save says does not stand";
    EXPECT_TRUE(Holds(folder, newStands ? L"interrupted\\finished\\cs1" : L"rows\\intact\\cs1"));
    FileBaseCertificateStore fresh(folder);
    EXPECT_EQ(STORE_OK, fresh.Setup(false));
    EXPECT_EQ(newStands ? 4 : 3, CertCount(fresh));
    return made;
}

TEST(StoreInterleaving, EveryOrderOfASaveAndALoadEndsOnTheStoreThatTheSaveNames) {
    std::set<Outcome> outcomes;
    std::vector<int> choices;
    int orders = 0;
    for (bool more = true; more && !testing::Test::HasFailure(); ++orders) {
        std::vector<Choice> made;
        Outcome outcome;
        {
            SCOPED_TRACE(testing::Message() << "order " << testing::PrintToString(choices));
            made = SaveBesideALoad(choices, outcome);
        }
        outcomes.insert(outcome);
        // The next order: the last choice that has an untried one left,
        // taken one further.
        while (!made.empty() && made.back().taken + 1 == made.back().open) made.pop_back();
        more = !made.empty();
        choices.clear();
        for (const Choice& choice : made) choices.push_back(choice.taken);
        if (more) ++choices.back();
    }
    // The load read the old store or the new one; a save met the load's read
    // of the Mac file and failed, the old store standing; a save met its read
    // of the index or the new index, stopped, and the load finished it.
    const std::set<Outcome> seen = {{STORE_OK, 3, false},
                                    {STORE_OK, 4, false},
                                    {STORE_OK, 4, true},
                                    {STORE_MAC_UNWRITABLE, 3, false}};
    EXPECT_EQ(seen, outcomes) << orders << " orders";
}

}  // namespace
