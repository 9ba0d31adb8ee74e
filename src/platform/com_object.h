// The platform's own COM objects (shell links, Internet shortcuts, shell folders and their
// enumerators, the URL history and its enumerator) share one IUnknown: QueryInterface over the
// interfaces the object lists, and one reference count that deletes the object when it falls
// to zero. Internal to the platform layer.
#pragma once

#include "platform/com.h"

#include <atomic>

namespace platform {

// One interface of an object and every identifier it answers to, for example
// ComInterface<IPersistFile, &IID_IPersistFile, &IID_IPersist>.
template <typename Of, const IID*... Iids> struct ComInterface {
    using Interface = Of;
    static bool answers(REFIID riid) { return ((riid == *Iids) || ...); }
};

// The object derives from ComObject<ComInterface<...>, ...>; the first interface also answers
// IID_IUnknown. An object starts with one reference, its creator's.
template <typename First, typename... Rest>
class ComObject : public First::Interface, public Rest::Interface... {
  public:
    HRESULT QueryInterface(REFIID riid, void** object) override {
        if (!object) return E_POINTER;
        *object = nullptr;
        if (riid == IID_IUnknown || First::answers(riid))
            *object = static_cast<typename First::Interface*>(this);
        else
            (void)((Rest::answers(riid) &&
                    (*object = static_cast<typename Rest::Interface*>(this), true)) ||
                   ...);
        if (!*object) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++references_; }
    ULONG Release() override {
        const ULONG left = --references_;
        if (left == 0) delete this;
        return left;
    }

  protected:
    ComObject() = default;
    // A copy (an enumerator's Clone) is a new object with a reference of its own.
    ComObject(const ComObject&) : First::Interface(), Rest::Interface()... {}
    ComObject& operator=(const ComObject&) = delete;
    virtual ~ComObject() = default;

  private:
    std::atomic<ULONG> references_{1};
};

} // namespace platform
