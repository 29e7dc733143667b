// The change link and a notifier's list of links: order, senders, and links
// that come and go during a notification.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "nvChangeLink.h"

namespace {

struct TRecorder {
    std::vector<String> Calls;
    std::vector<TObject*> Senders;
    // A link whose three events log "<name>.<event>".
    std::unique_ptr<TnvChangeLink> Link(const String& Name)
    {
        auto L = std::make_unique<TnvChangeLink>();
        L->OnChange = [this, Name](TObject* S) { Log(Name + ".Change", S); };
        L->OnChanging = [this, Name](TObject* S) { Log(Name + ".Changing", S); };
        L->OnLoaded = [this, Name](TObject* S) { Log(Name + ".Loaded", S); };
        return L;
    }
    void Log(const String& What, TObject* Sender)
    {
        Calls.push_back(What);
        Senders.push_back(Sender);
    }
};

TEST(nvChangeLink, CallsItsEventsWithTheSender)
{
    TRecorder R;
    auto L = R.Link("a");
    QObject Watched;
    L->SetSender(&Watched);
    L->Change();
    L->Changing();
    L->Loaded();
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "a.Changing", "a.Loaded"}));
    EXPECT_EQ(R.Senders, (std::vector<TObject*>{&Watched, &Watched, &Watched}));

    TnvChangeLink Unassigned; // no events: nothing happens
    Unassigned.Change();
    Unassigned.Changing();
    Unassigned.Loaded();
}

TEST(nvChangeLink, NotifierWalksItsLinksInOrder)
{
    TRecorder R;
    auto A = R.Link("a"), B = R.Link("b"), C = R.Link("c");
    TnvChangeLinks Links;
    Links.RegisterLink(A.get());
    Links.RegisterLink(B.get());
    Links.RegisterLink(C.get());
    Links.RegisterLink(nullptr);
    EXPECT_EQ(Links.Count(), 3);

    QObject Notifier;
    Links.NotifyChanging(&Notifier);
    Links.NotifyChange(&Notifier);
    Links.NotifyLoaded(&Notifier);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Changing", "b.Changing", "c.Changing", "a.Change", "b.Change",
                                            "c.Change", "a.Loaded", "b.Loaded", "c.Loaded"}));
    for (TObject* S : R.Senders)
        EXPECT_EQ(S, &Notifier);
    EXPECT_EQ(B->Sender(), &Notifier);

    R.Calls.clear();
    Links.UnregisterLink(B.get());
    Links.UnregisterLink(B.get());
    EXPECT_FALSE(Links.Contains(B.get()));
    Links.NotifyChange(&Notifier);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "c.Change"}));
}

// The list is a plain list: registering appends, unregistering removes one
// entry, so registrations count.
TEST(nvChangeLink, RegistrationsOfOneLinkCount)
{
    struct TCase {
        const char* Name;
        std::vector<String> Steps; // "+a": register a, "-a": unregister a
        std::vector<String> Calls; // of one notification afterwards
    };
    const TCase Cases[] = {
        {"registered twice: called twice, in place", {"+a", "+b", "+a"}, {"a.Change", "b.Change", "a.Change"}},
        {"registered twice, unregistered once: still called", {"+a", "+b", "+a", "-a"}, {"b.Change", "a.Change"}},
        {"unregistered as often as registered: gone", {"+a", "+a", "+b", "-a", "-a"}, {"b.Change"}},
        {"unregistering a link that is not there changes nothing", {"+b", "-a", "+a", "-b", "-b"}, {"a.Change"}},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.Name);
        TRecorder R;
        auto A = R.Link("a"), B = R.Link("b");
        TnvChangeLinks Links;
        for (const String& Step : C.Steps) {
            TnvChangeLink* L = Step[1] == 'a' ? A.get() : B.get();
            if (Step[0] == '+')
                Links.RegisterLink(L);
            else
                Links.UnregisterLink(L);
        }
        Links.NotifyChange(nullptr);
        EXPECT_EQ(R.Calls, C.Calls);
        EXPECT_EQ(Links.Count(), static_cast<int>(C.Calls.size()));
    }

    // A handler that unregisters a twice-registered link once takes away the
    // entry not yet reached, as the walk over the list sees it.
    TRecorder R;
    auto A = R.Link("a"), B = R.Link("b");
    TnvChangeLinks Links;
    Links.RegisterLink(A.get());
    Links.RegisterLink(B.get());
    Links.RegisterLink(A.get());
    B->OnChange = [&](TObject*) {
        R.Calls.push_back("b.Change");
        Links.UnregisterLink(A.get());
    };
    Links.NotifyChange(nullptr);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "b.Change"}));
    EXPECT_TRUE(Links.Contains(A.get()));
}

TEST(nvChangeLink, LinksThatComeAndGoDuringANotification)
{
    TRecorder R;
    auto A = R.Link("a"), B = R.Link("b"), C = R.Link("c"), Late = R.Link("late");
    TnvChangeLinks Links;
    Links.RegisterLink(A.get());
    Links.RegisterLink(B.get());
    Links.RegisterLink(C.get());
    // a removes b and adds late; b is not called, late only next time.
    A->OnChange = [&](TObject*) {
        R.Calls.push_back("a.Change");
        Links.UnregisterLink(B.get());
        if (!Links.Contains(Late.get()))
            Links.RegisterLink(Late.get());
    };
    QObject Notifier;
    Links.NotifyChange(&Notifier);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "c.Change"}));
    R.Calls.clear();
    Links.NotifyChange(&Notifier);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "c.Change", "late.Change"}));

    // A link destroyed by a handler (its watcher went away) is skipped, and a
    // destroyed link leaves the list.
    R.Calls.clear();
    A->OnChange = [&](TObject*) {
        R.Calls.push_back("a.Change");
        C.reset();
    };
    Links.NotifyChange(&Notifier);
    EXPECT_EQ(R.Calls, (std::vector<String>{"a.Change", "late.Change"}));
    EXPECT_EQ(Links.Count(), 2);
}

// A link class of a watcher that overrides the virtual operation.
class TCountingLink : public TnvChangeLink {
public:
    int Changes = 0;
    void Change() override
    {
        ++Changes;
        TnvChangeLink::Change();
    }
};

TEST(nvChangeLink, NotifierCallsTheVirtualOperation)
{
    TCountingLink L;
    int Events = 0;
    L.OnChange = [&](TObject*) { ++Events; };
    TnvChangeLinks Links;
    Links.RegisterLink(&L);
    Links.NotifyChange(nullptr);
    Links.NotifyChange(nullptr);
    EXPECT_EQ(L.Changes, 2);
    EXPECT_EQ(Events, 2);
}

} // namespace
