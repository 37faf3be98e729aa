"""Pieces of rule-file XML that several language generators write alike."""

from xml.sax.saxutils import escape


def identifier_list(items):
    """The IdentifierList of a sentence or clause type from (text, rank) pairs."""
    return ("<IdentifierList>"
            + "".join('<Identifier rank="%d">%s</Identifier>' % (rank, escape(text)) for text, rank in items)
            + "</IdentifierList>")


def linear_contour(knots):
    """A pitch pattern of 500 frames (20 ms each), piecewise linear through
    (frame, Hz) knots that run from frame 0 to frame 499; values rounded to Hz."""
    assert knots[0][0] == 0 and knots[-1][0] == 499
    values = []
    for (f0, v0), (f1, v1) in zip(knots, knots[1:]):
        for f in range(f0, f1):
            values.append(round(v0 + (v1 - v0) * (f - f0) / (f1 - f0)))
    values.append(knots[-1][1])
    return " ".join(str(v) for v in values)
