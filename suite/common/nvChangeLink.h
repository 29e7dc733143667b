// The change link: how a watched object (an imager, a bitmap, a button group)
// tells its watchers that something changed.
//
// A watcher makes a link, sets its events and registers it with the watched
// object, which keeps the links in a TnvChangeLinks list. To notify, the
// notifier walks the list from first to last, sets each link's Sender and
// calls the link's Change (or Changing, Loaded). The link owns neither its
// watcher nor its notifier.
#pragma once

#include <QObject>
#include <QPointer>

#include <vector>

#include "Classes.h"

class TnvChangeLink : public QObject {
    Q_OBJECT
public:
    explicit TnvChangeLink(QObject* Parent = nullptr) : QObject(Parent) {}
    ~TnvChangeLink() override;

    // Each calls its event, when assigned, with Sender.
    virtual void Change();
    virtual void Changing();
    virtual void Loaded();

    TObject* Sender() const { return FSender; }
    void SetSender(TObject* Value) { FSender = Value; }

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;
    TNotifyEvent OnLoaded;

private:
    QPointer<TObject> FSender;
};

// A notifier's plain list of links. Registering appends, so a link
// registered twice is in the list twice (and called twice); unregistering
// removes one entry, the first. Registrations therefore count: a watcher
// that registers one link for two reasons stays registered until it has
// unregistered it for both. A link destroyed while registered drops out of
// the list. During a notification, an entry that a handler removes (or whose
// link it destroys) is not called any more; a link that a handler adds is
// called from the next notification on.
class TnvChangeLinks {
public:
    // Appends the link (nil is ignored).
    void RegisterLink(TnvChangeLink* Link);
    // Removes the first entry of the link; nothing when it is not registered.
    void UnregisterLink(TnvChangeLink* Link);
    bool Contains(const TnvChangeLink* Link) const;
    // The number of entries of living links (a link registered twice counts twice).
    int Count() const;
    void Clear() { FLinks.clear(); }

    // Sets each link's Sender and calls its Change / Changing / Loaded, first to last.
    void NotifyChange(TObject* Sender);
    void NotifyChanging(TObject* Sender);
    void NotifyLoaded(TObject* Sender);

private:
    template <class F>
    void Notify(TObject* Sender, F Call);
    int Entries(const TnvChangeLink* Link) const;
    std::vector<QPointer<TnvChangeLink>> FLinks;
};
