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
    if (Link && !Contains(Link))
        FLinks.emplace_back(Link);
}

void TnvChangeLinks::UnregisterLink(TnvChangeLink* Link)
{
    FLinks.erase(std::remove_if(FLinks.begin(), FLinks.end(),
                                [Link](const QPointer<TnvChangeLink>& P) { return P.isNull() || P == Link; }),
                 FLinks.end());
}

bool TnvChangeLinks::Contains(const TnvChangeLink* Link) const
{
    return Link && std::any_of(FLinks.begin(), FLinks.end(), [Link](const QPointer<TnvChangeLink>& P) { return P == Link; });
}

int TnvChangeLinks::Count() const
{
    return static_cast<int>(std::count_if(FLinks.begin(), FLinks.end(), [](const QPointer<TnvChangeLink>& P) { return !P.isNull(); }));
}

template <class F>
void TnvChangeLinks::Notify(TObject* Sender, F Call)
{
    // A handler may register or remove links: walk a copy and skip the links
    // that are no longer in the list (or no longer exist) when reached.
    const std::vector<QPointer<TnvChangeLink>> Snapshot = FLinks;
    for (const QPointer<TnvChangeLink>& P : Snapshot) {
        TnvChangeLink* Link = P.data();
        if (!Link || !Contains(Link))
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
