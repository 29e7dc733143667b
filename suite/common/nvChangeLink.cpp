// The change link (see nvChangeLink.h).
#include "nvChangeLink.h"

#include <algorithm>

TnvChangeLink::~TnvChangeLink() = default;

void TnvChangeLink::Change()
{
    if (OnChange)
        OnChange(FSender);
}

void TnvChangeLink::Changing()
{
    if (OnChanging)
        OnChanging(FSender);
}

void TnvChangeLink::Loaded()
{
    if (OnLoaded)
        OnLoaded(FSender);
}

void TnvChangeLinks::RegisterLink(TnvChangeLink* Link)
{
    if (Link)
        FLinks.emplace_back(Link);
}

void TnvChangeLinks::UnregisterLink(TnvChangeLink* Link)
{
    // Entries of destroyed links go too.
    FLinks.erase(std::remove_if(FLinks.begin(), FLinks.end(),
                                [](const QPointer<TnvChangeLink>& P) { return P.isNull(); }),
                 FLinks.end());
    const auto It = std::find(FLinks.begin(), FLinks.end(), Link);
    if (Link && It != FLinks.end())
        FLinks.erase(It);
}

bool TnvChangeLinks::Contains(const TnvChangeLink* Link) const
{
    return Entries(Link) > 0;
}

int TnvChangeLinks::Entries(const TnvChangeLink* Link) const
{
    if (!Link)
        return 0;
    return static_cast<int>(
        std::count_if(FLinks.begin(), FLinks.end(), [Link](const QPointer<TnvChangeLink>& P) { return P == Link; }));
}

int TnvChangeLinks::Count() const
{
    return static_cast<int>(std::count_if(FLinks.begin(), FLinks.end(), [](const QPointer<TnvChangeLink>& P) { return !P.isNull(); }));
}

template <class F>
void TnvChangeLinks::Notify(TObject* Sender, F Call)
{
    // A handler may register or remove links: walk a copy, and call the k-th
    // entry of a link only while the list still holds k entries of it (so an
    // entry removed meanwhile, or a destroyed link, is skipped).
    const std::vector<QPointer<TnvChangeLink>> Snapshot = FLinks;
    for (size_t I = 0; I < Snapshot.size(); ++I) {
        TnvChangeLink* Link = Snapshot[I].data();
        if (!Link)
            continue;
        const auto Occurrence =
            std::count(Snapshot.begin(), Snapshot.begin() + static_cast<std::ptrdiff_t>(I) + 1, Snapshot[I]);
        if (Entries(Link) < Occurrence)
            continue;
        Link->SetSender(Sender);
        Call(Link);
    }
}

void TnvChangeLinks::NotifyChange(TObject* Sender)
{
    Notify(Sender, [](TnvChangeLink* L) { L->Change(); });
}

void TnvChangeLinks::NotifyChanging(TObject* Sender)
{
    Notify(Sender, [](TnvChangeLink* L) { L->Changing(); });
}

void TnvChangeLinks::NotifyLoaded(TObject* Sender)
{
    Notify(Sender, [](TnvChangeLink* L) { L->Loaded(); });
}
