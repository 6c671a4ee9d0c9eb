// The tuning panel's file and its command templates.
#include "fuzzcheck.h"
#include "paramset.h"

#include <fuzzer/FuzzedDataProvider.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider input(data, size);
    const bool hex = input.ConsumeBool();
    const double value = input.ConsumeFloatingPoint<double>();
    const int decimals = input.ConsumeIntegralInRange(0, 8);
    const QByteArray bytes = toByteArray(input.ConsumeRemainingBytesAsString());

    // A file is refused with a reason, or read back the same once written.
    QString error;
    const auto set = ParamSet::fromJson(bytes, &error);
    if (!set) {
        FUZZ_CHECK(!error.isEmpty());
    } else {
        QString again;
        const auto reread = ParamSet::fromJson(set->toJson(), &again);
        FUZZ_CHECK(reread && *reread == *set);
        FUZZ_CHECK(!set->check());
        for (const ParamControl &control : set->controls) {
            FUZZ_CHECK(!ParamSet::checkControl(control));
            if (control.hasValue()) {
                FUZZ_CHECK(control.minimum <= control.value && control.value <= control.maximum);
                CommandTemplate::form(control.command, control.mode, control.minimum,
                                      control.decimals);
                CommandTemplate::form(control.command, control.mode, control.maximum,
                                      control.decimals);
            }
        }
    }

    // Any text as a template: one that passes its check for a value forms,
    // and forms the same bytes from the one line the editor shows.
    const QString text = QString::fromUtf8(bytes);
    const CommandMode mode = hex ? CommandMode::Hex : CommandMode::Text;
    const auto problem = CommandTemplate::check(text, mode, ValueRange { value, value, decimals });
    if (!problem) {
        const QByteArray formed = CommandTemplate::form(text, mode, value, decimals);
        FUZZ_CHECK(!formed.isEmpty() || text.trimmed().isEmpty());
        FUZZ_CHECK(
                CommandTemplate::form(CommandTemplate::oneLine(text, mode), mode, value, decimals)
                == formed);
    } else {
        FUZZ_CHECK(!problem->isEmpty());
    }
    return 0;
}
