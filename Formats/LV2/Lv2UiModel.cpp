#include "Lv2UiModel.h"

#include <atomic>
#include <cmath>
#include <cstring>
#include <vector>

#include "AAX_IACFAutomationDelegate.h"
#include "AAX_IACFEffectGUI.h"
#include "AAX_IACFViewContainer.h"
#include "AAX_IEffectParameters.h"
#include "AAX_UIDs.h"
#include "GUI/RovuRiza_GUI_VST.h"
#include "Lv2Ports.h"
#include "RovuRiza_Parameters.h"
#include "vstgui/vstgui.h"

namespace tavelo::lv2
{
namespace
{

struct PortParameter
{
    const char* id;
    uint32_t port;
};
constexpr PortParameter kPortParameters[] = {
    {"Gain", kPortGain},     {"Tremolo", kPortTremolo}, {"Tone", kPortTone},
    {"Rate", kPortRate},     {"Volume", kPortVolume},   {"Sound", kPortMicrophone},
    {"Pickup", kPortPickup},
};

const PortParameter* ParameterOfId(const char* id)
{
    if (!id) return nullptr;
    for (const PortParameter& p : kPortParameters)
        if (std::strcmp(p.id, id) == 0) return &p;
    return nullptr;
}

const PortParameter* ParameterOfPort(uint32_t port)
{
    for (const PortParameter& p : kPortParameters)
        if (p.port == port) return &p;
    return nullptr;
}

bool IsIndexPort(uint32_t port)
{
    return port == kPortMicrophone || port == kPortPickup;
}

// The view container over the host's parent window. Every mouse event is the editor's: an
// LV2 host has no parameter shortcuts of its own inside the plug-in's window.
class ParentWindowContainer final : public AAX_IACFViewContainer
{
public:
    ParentWindowContainer(unsigned long window, std::function<void(int, int)> resize)
        : mWindow(window), mResize(std::move(resize))
    {
    }
    acfResult QueryInterface(const acfIID& iid, void** out) override
    {
        if (!out) return ACF_E_POINTER;
        *out = nullptr;
        if (iid != IID_IACFUnknown && iid != IID_IAAXViewContainerV1) return ACF_E_NOINTERFACE;
        *out = static_cast<AAX_IACFViewContainer*>(this);
        AddRef();
        return ACF_OK;
    }
    acfUInt32 AddRef() override { return ++mRefs; }
    acfUInt32 Release() override
    {
        const acfUInt32 refs = --mRefs;
        if (refs == 0) delete this;
        return refs;
    }
    int32_t GetType() override { return AAX_eViewContainer_Type_NativeView; }
    void* GetPtr() override { return reinterpret_cast<void*>(mWindow); }
    AAX_Result GetModifiers(uint32_t* out) override
    {
        if (!out) return AAX_ERROR_NULL_ARGUMENT;
        *out = 0;
        return AAX_SUCCESS;
    }
    AAX_Result SetViewSize(AAX_Point& size) override
    {
        if (mResize) mResize(int(size.horz), int(size.vert));
        return AAX_SUCCESS;
    }
    AAX_Result HandleParameterMouseDown(AAX_CParamID, uint32_t) override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result HandleParameterMouseDrag(AAX_CParamID, uint32_t) override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }
    AAX_Result HandleParameterMouseUp(AAX_CParamID, uint32_t) override
    {
        return AAX_ERROR_UNIMPLEMENTED;
    }

private:
    ~ParentWindowContainer() = default;
    std::atomic<acfUInt32> mRefs{0};
    unsigned long mWindow;
    std::function<void(int, int)> mResize;
};

} // namespace

// The host object the data model and the editor are initialized with: it answers the
// automation-delegate interface (turning requests into port writes) and hands out the model.
struct Lv2UiModel::Impl final : public AAX_IACFAutomationDelegate
{
    HostCalls calls;
    AAX_IACFEffectParameters* parameters = nullptr;
    RovuRiza_GUI* gui = nullptr;
    AAX_IACFEffectGUI* editor = nullptr;
    ParentWindowContainer* container = nullptr;
    // Edits waiting for their confirmation to the model (done in idle(), outside the model's
    // own call that asked for them).
    std::vector<std::pair<const PortParameter*, double>> pending;
    // Touches held per port: the parameter wraps each set value in a touch of its own inside
    // the editor's, so the host hears of the first touch and the last release only.
    int touches[kStereoPortCount] = {};

    acfResult QueryInterface(const acfIID& iid, void** out) override
    {
        if (!out) return ACF_E_POINTER;
        *out = nullptr;
        if (iid == IID_IACFUnknown || iid == IID_IAAXAutomationDelegateV1)
        {
            *out = static_cast<AAX_IACFAutomationDelegate*>(this);
            return ACF_OK;
        }
        if (iid == IID_IAAXEffectParametersV1 && parameters)
            return parameters->QueryInterface(iid, out);
        return ACF_E_NOINTERFACE;
    }
    // Owned by Lv2UiModel: references are not counted.
    acfUInt32 AddRef() override { return 1; }
    acfUInt32 Release() override { return 1; }

    AAX_Result RegisterParameter(AAX_CParamID) override { return AAX_SUCCESS; }
    AAX_Result UnregisterParameter(AAX_CParamID) override { return AAX_SUCCESS; }
    AAX_Result PostSetValueRequest(AAX_CParamID id, double value) const override
    {
        const PortParameter* p = ParameterOfId(id);
        if (!p) return AAX_SUCCESS;
        const float portValue = IsIndexPort(p->port) ? float(std::lround(value * 100.0))
                                                     : float(std::clamp(value, 0.0, 1.0));
        if (calls.writePort) calls.writePort(p->port, portValue);
        const_cast<Impl*>(this)->pending.emplace_back(p, value);
        return AAX_SUCCESS;
    }
    AAX_Result PostCurrentValue(AAX_CParamID, double) const override { return AAX_SUCCESS; }
    AAX_Result PostTouchRequest(AAX_CParamID id) override { return setTouch(id, true); }
    AAX_Result PostReleaseRequest(AAX_CParamID id) override { return setTouch(id, false); }
    AAX_Result GetTouchState(AAX_CParamID id, AAX_CBoolean* out) override
    {
        const PortParameter* p = ParameterOfId(id);
        if (out) *out = p && touches[p->port] > 0 ? 1 : 0;
        return AAX_SUCCESS;
    }

    AAX_Result setTouch(AAX_CParamID id, bool grabbed)
    {
        const PortParameter* p = ParameterOfId(id);
        if (!p) return AAX_SUCCESS;
        int& count = touches[p->port];
        if (!grabbed && count == 0) return AAX_SUCCESS;
        count += grabbed ? 1 : -1;
        if (calls.touch && count == (grabbed ? 1 : 0)) calls.touch(p->port, grabbed);
        return AAX_SUCCESS;
    }

    void update(const PortParameter& p, double value)
    {
        parameters->UpdateParameterNormalizedValue(p.id, value, AAX_eUpdateSource_Unspecified);
        if (editor) editor->ParameterUpdated(p.id);
    }
};

Lv2UiModel::Lv2UiModel(HostCalls calls) : mImpl(std::make_unique<Impl>())
{
    mImpl->calls = std::move(calls);
}

Lv2UiModel::~Lv2UiModel()
{
    Impl& m = *mImpl;
    if (m.editor)
    {
        m.editor->SetViewContainer(nullptr);
        m.editor->Uninitialize();
        m.editor->Release();
    }
    if (m.container) m.container->Release();
    if (m.parameters)
    {
        m.parameters->Uninitialize();
        m.parameters->Release();
    }
}

bool Lv2UiModel::open(unsigned long parentWindow, std::string* error)
{
    Impl& m = *mImpl;
    auto fail = [error](const char* why)
    {
        if (error) *error = why;
        return false;
    };
    // Hold each new object while asking for its interface, as a host does.
    AAX_IACFEffectParameters* model = RovuRiza_Parameters::Create();
    model->AddRef();
    void* parameters = nullptr;
    model->QueryInterface(IID_IAAXEffectParametersV1, &parameters);
    model->Release();
    if (!parameters) return fail("the data model does not answer its interface");
    m.parameters = static_cast<AAX_IACFEffectParameters*>(parameters);
    if (m.parameters->Initialize(&m) != AAX_SUCCESS) return fail("the data model did not start");

    m.gui = static_cast<RovuRiza_GUI*>(RovuRiza_GUI::Create());
    AAX_IACFEffectGUI* created = m.gui;
    created->AddRef();
    void* editor = nullptr;
    created->QueryInterface(IID_IAAXEffectGUIV1, &editor);
    created->Release();
    if (!editor) return fail("the editor does not answer its interface");
    m.editor = static_cast<AAX_IACFEffectGUI*>(editor);
    if (m.editor->Initialize(&m) != AAX_SUCCESS) return fail("the editor did not start");

    m.container = new ParentWindowContainer(parentWindow, m.calls.resize);
    m.container->AddRef();
    m.editor->SetViewContainer(m.container);
    if (!window()) return fail("the editor could not open its window in the host's window");
    AAX_Point size;
    m.editor->GetViewSize(&size);
    if (m.calls.resize) m.calls.resize(int(size.horz), int(size.vert));
    return true;
}

unsigned long Lv2UiModel::window() const
{
    VSTGUI::CFrame* frame = mImpl->gui ? mImpl->gui->GetContentView() : nullptr;
    VSTGUI::IPlatformFrame* platform = frame ? frame->getPlatformFrame() : nullptr;
    return platform ? platform->getNativeWindow() : 0;
}

int Lv2UiModel::width() const
{
    AAX_Point size;
    if (mImpl->editor) mImpl->editor->GetViewSize(&size);
    return int(size.horz);
}

int Lv2UiModel::height() const
{
    AAX_Point size;
    if (mImpl->editor) mImpl->editor->GetViewSize(&size);
    return int(size.vert);
}

void Lv2UiModel::portEvent(uint32_t port, float value)
{
    Impl& m = *mImpl;
    const PortParameter* p = ParameterOfPort(port);
    // While the user holds a control, the host's echo of older values must not pull it back.
    if (!p || !m.parameters || m.touches[port] > 0 || std::isnan(value)) return;
    const double normalized = IsIndexPort(port)
                                  ? double(std::lround(std::clamp(value, 0.0f, 99.0f))) * 0.01
                                  : std::clamp(double(value), 0.0, 1.0);
    m.update(*p, normalized);
}

void Lv2UiModel::idle()
{
    Impl& m = *mImpl;
    if (!m.editor) return;
    // Confirm what the editor asked for, as a host confirms set-value requests.
    std::vector<std::pair<const PortParameter*, double>> confirmed;
    confirmed.swap(m.pending);
    for (const auto& [p, value] : confirmed)
        m.update(*p, value);
    m.editor->TimerWakeup();
}

} // namespace tavelo::lv2
