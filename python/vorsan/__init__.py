"""Vorsan: text to speech for Indian languages and English.

    import vorsan
    eng = vorsan.Engine()                      # the user's tolvane.xml
    eng.synthesize("नमस्ते दुनिया", mood="Happy").save("hello.wav")

Engine() loads the user's configuration (tolvane.xml in $USERPROFILE, else
$HOME); Engine(config=None) starts with the built-in English only, to which
add_language(), add_emotion() and add_accent() add single files.
Engine.synthesize() returns an Audio (sample_rate, numpy int16 samples,
words and sentences with their places in the audio, to_bytes(), save());
Engine.synthesize_stream() yields one Audio per sentence as soon as each is
ready. Failures raise EngineError with the engine's own message; so does
synthesize() of text of which no part belongs to a loaded language ("The text
has nothing to speak ..."), rather than returning empty audio. When the
interpreter exits, every engine's work is stopped and waited for first (a
daemon thread inside synthesize() gets what was made; later calls raise).
"""
from ._vorsan import (
    Audio,
    Engine,
    EngineError,
    PhonemeChunk,
    Sentence,
    Stream,
    Word,
    __version__,
)

__all__ = ["Audio", "Engine", "EngineError", "PhonemeChunk", "Sentence", "Stream", "Word", "__version__"]

# The classes belong to the package as far as users (and help()) are concerned.
for _cls in (Audio, Engine, PhonemeChunk, Sentence, Stream, Word):
    _cls.__module__ = __name__
del _cls
