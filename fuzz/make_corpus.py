#!/usr/bin/env python3
"""Writes the seed inputs of every fuzz target into fuzz/corpus/<target>/.

The seeds are valid inputs of each kind (default and edited states, a preset file, a VST 2
chunk, typed parameter texts) plus a few damaged ones; the fuzzer mutates from there.
Run it again after changing a target's input layout: python3 fuzz/make_corpus.py
"""
import os
import random
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")

PROCESSOR_UID = "74E8DE5082554F5386FAE4132C935A18"
DEFAULT_SWITCHES = [0, 0, 1, 0, 1]
DEFAULT_VALUES = [0.5, 0.2631579, 0.0, 1.0, 0.08543431, 0.1959078, 0.2242749, 0.3672695,
                  0.0, 0.0, 0.0, 0.0]


def processor_state(switches=DEFAULT_SWITCHES, values=DEFAULT_VALUES):
    return struct.pack("<5i", *switches) + struct.pack("<12f", *values)


def controller_state(text="Quorvane"):
    units = text.encode("utf-16-le")
    return b"\0" + units + b"\0" * (256 - len(units))


def vst2_chunk(processor, controller):
    return struct.pack("<qq", len(processor), len(controller)) + processor + controller


def vstpreset(processor, controller=None):
    header_size = 48
    chunks = [(b"Comp", processor)] + ([(b"Cont", controller)] if controller is not None else [])
    body = b""
    entries = []
    offset = header_size
    for chunk_id, data in chunks:
        entries.append((chunk_id, offset, len(data)))
        body += data
        offset += len(data)
    header = b"VST3" + struct.pack("<i", 1) + PROCESSOR_UID.encode("ascii") + struct.pack("<q", offset)
    chunk_list = b"List" + struct.pack("<i", len(entries))
    for chunk_id, start, size in entries:
        chunk_list += chunk_id + struct.pack("<qq", start, size)
    return header + body + chunk_list


def text_seed(param_id, value, text):
    return bytes([param_id]) + struct.pack("<d", value) + text.encode("utf-16-le")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def main():
    default = processor_state()
    edited = processor_state([1, 0, 0, 1, 0], [1.0, 0.0, 0.7, 0.1, 1.0, 0.0, 0.9, 0.0, 1.0, 1.0, 0.5, 1.0])
    damaged = processor_state([-1, 7, 0, 2, -9], [float("nan"), float("inf"), -3.0, 2.5] + [0.5] * 8)

    write("fuzz_processor_state", "default", b"\0" + default)
    write("fuzz_processor_state", "edited-active", b"\2" + edited)
    write("fuzz_processor_state", "damaged", b"\0" + damaged)
    write("fuzz_processor_state", "truncated-lenient", b"\1" + default[:20])

    write("fuzz_controller_state", "component-default", b"\0" + default)
    write("fuzz_controller_state", "component-damaged-editor", b"\x0c" + damaged)
    write("fuzz_controller_state", "own-state", b"\2" + controller_state())
    write("fuzz_controller_state", "own-state-swapped-lenient", b"\3" + b"\1" + controller_state()[1:100])

    write("fuzz_parameter_text", "threshold", text_seed(6, 0.5, "-20 dB"))
    write("fuzz_parameter_text", "hold", text_seed(12, 0.3, "35,5 ms"))
    write("fuzz_parameter_text", "hold-closed-off", text_seed(13, 0.0, " off"))
    write("fuzz_parameter_text", "beat-skip", text_seed(14, 0.25, "50 %"))
    write("fuzz_parameter_text", "bypass", text_seed(0, 1.0, "1"))
    write("fuzz_parameter_text", "nan", text_seed(5, float("nan"), "nan"))

    write("fuzz_preset", "default", vstpreset(default, controller_state()))
    write("fuzz_preset", "edited", vstpreset(edited, controller_state("edited")))
    write("fuzz_preset", "processor-only", vstpreset(damaged))

    write("fuzz_vst2_chunk", "default", b"\0" + vst2_chunk(default, controller_state()))
    write("fuzz_vst2_chunk", "edited-running", b"\2" + vst2_chunk(edited, controller_state("x")))
    write("fuzz_vst2_chunk", "processor-only-program", b"\1" + vst2_chunk(damaged, b""))
    write("fuzz_vst2_chunk", "bad-sizes", b"\0" + struct.pack("<qq", 68, 1 << 62) + default)

    rng = random.Random(20261207)
    for n, length in enumerate([64, 256, 1024, 4096]):
        write("fuzz_process", "random-%d" % n, bytes(rng.randrange(256) for _ in range(length)))
    write("fuzz_process", "zeros", bytes(512))


if __name__ == "__main__":
    main()
