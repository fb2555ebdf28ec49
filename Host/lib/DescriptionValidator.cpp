#include "DescriptionValidator.h"

#include <map>

namespace tavelo::host
{

namespace
{
std::string StemName(AAX_EStemFormat inStemFormat)
{
    switch (inStemFormat)
    {
    case AAX_eStemFormat_Mono:
        return "mono";
    case AAX_eStemFormat_Stereo:
        return "stereo";
    default:
        return "stem format " + std::to_string(int32_t(inStemFormat));
    }
}

void ValidateComponent(const ComponentRecord& inComponent, const std::string& inName,
                       std::vector<std::string>& ioProblems)
{
    std::map<AAX_CFieldIndex, int> declarations;
    for (const FieldRecord& field : inComponent.fields)
        ++declarations[field.index];

    for (const ExpectedField& expected : ExpectedContextFields())
    {
        const std::string where = inName + ": field " + std::to_string(expected.index);
        const int count = declarations.count(expected.index) ? declarations[expected.index] : 0;
        if (count == 0)
        {
            ioProblems.push_back(where + " (" + FieldKindName(expected.kind) + ") is not declared");
            continue;
        }
        if (count > 1)
            ioProblems.push_back(where + " is declared " + std::to_string(count) + " times");
        const FieldRecord& field = *inComponent.Field(expected.index);
        if (field.kind != expected.kind)
            ioProblems.push_back(where + " is declared as " + FieldKindName(field.kind) +
                                 ", expected " + FieldKindName(expected.kind));
        else if (field.size != expected.size)
            ioProblems.push_back(where + " is declared with " + std::to_string(field.size) +
                                 " bytes, expected " + std::to_string(expected.size));
    }
    for (const auto& [index, count] : declarations)
        if (index < 0 || index >= AAX_CFieldIndex(ExpectedContextFields().size()))
            ioProblems.push_back(inName + ": field " + std::to_string(index) +
                                 " is outside the render context");

    const ProcessProcRecord* proc = inComponent.NativeProcessProc();
    if (!proc || !proc->processProc)
    {
        ioProblems.push_back(inName + ": no native render callback is registered");
        return;
    }
    const auto input = proc->properties.Value(AAX_eProperty_InputStemFormat);
    const auto output = proc->properties.Value(AAX_eProperty_OutputStemFormat);
    if (!input || !output)
        ioProblems.push_back(inName + ": the render callback's properties lack a stem format");
    else if (*input != *output)
        ioProblems.push_back(inName + ": input and output stem formats differ");
}
} // namespace

const char* FieldKindName(AAX_EFieldKind inKind)
{
    switch (inKind)
    {
    case AAX_eFieldKind_AudioIn:
        return "audio input";
    case AAX_eFieldKind_AudioOut:
        return "audio output";
    case AAX_eFieldKind_AudioBufferLength:
        return "buffer length";
    case AAX_eFieldKind_SampleRate:
        return "sample rate";
    case AAX_eFieldKind_Clock:
        return "clock";
    case AAX_eFieldKind_SideChainIn:
        return "side-chain input";
    case AAX_eFieldKind_DataInPort:
        return "data port";
    case AAX_eFieldKind_PrivateData:
        return "private data";
    case AAX_eFieldKind_MIDINode:
        return "MIDI node";
    default:
        return "nothing";
    }
}

const std::vector<ExpectedField>& ExpectedContextFields()
{
    static const std::vector<ExpectedField> kFields = {
        {0, AAX_eFieldKind_DataInPort, 4},          {1, AAX_eFieldKind_DataInPort, 8},
        {2, AAX_eFieldKind_DataInPort, 4},          {3, AAX_eFieldKind_DataInPort, 4},
        {4, AAX_eFieldKind_DataInPort, 4},          {5, AAX_eFieldKind_DataInPort, 4},
        {6, AAX_eFieldKind_DataInPort, 4},          {7, AAX_eFieldKind_DataInPort, 1616},
        {8, AAX_eFieldKind_PrivateData, 816},       {9, AAX_eFieldKind_AudioIn, 0},
        {10, AAX_eFieldKind_AudioOut, 0},           {11, AAX_eFieldKind_AudioBufferLength, 0},
        {12, AAX_eFieldKind_SampleRate, 0},         {13, AAX_eFieldKind_MIDINode, 0},
        {14, AAX_eFieldKind_PrivateData, 17644544},
    };
    return kFields;
}

std::vector<std::string> ValidateDescription(const CollectionRecord& inDescription)
{
    std::vector<std::string> problems;
    if (inDescription.effects.size() != 1)
    {
        problems.push_back("the bundle describes " + std::to_string(inDescription.effects.size()) +
                           " effects, expected exactly one");
        if (inDescription.effects.empty()) return problems;
    }
    const EffectRecord& effect = inDescription.effects.front();
    if (effect.names.empty()) problems.push_back("the effect has no name");

    for (size_t i = 0; i < effect.components.size(); ++i)
    {
        const ComponentRecord& component = effect.components[i];
        ValidateComponent(component,
                          "component " + std::to_string(i) + " (" +
                              StemName(component.StemFormat()) + ")",
                          problems);
    }
    for (AAX_EStemFormat stem : {AAX_eStemFormat_Mono, AAX_eStemFormat_Stereo})
    {
        int count = 0;
        for (const ComponentRecord& component : effect.components)
            count += component.StemFormat() == stem;
        if (count == 0)
            problems.push_back("no component for the " + StemName(stem) + " stem format");
        else if (count > 1)
            problems.push_back(std::to_string(count) + " components for the " + StemName(stem) +
                               " stem format");
    }

    if (!effect.ProcPtr(AAX_eProcPtrID_Create_EffectParameters))
        problems.push_back("no data-model factory (procedure pointer 0)");
    if (!effect.ProcPtr(AAX_eProcPtrID_Create_EffectGUI))
        problems.push_back("no editor factory (procedure pointer 1)");
    return problems;
}

} // namespace tavelo::host
