#!/usr/bin/python3
# Writes the fuzz targets' seed corpora (corpus/<target>/): small inputs of
# each kind a reader meets, made once and kept in the tree. Past findings go
# beside them by hand or by scripts/fuzz. Run from this folder; needs Pillow.
import base64, gzip, io, os, zipfile
from PIL import Image

def write(path, data):
    os.makedirs(os.path.dirname("corpus/" + path), exist_ok=True)
    open("corpus/" + path, "wb").write(data)

# list_text: the first byte picks the size of the chunks the text is decoded and split in.
write("list_text/utf8-bom-crlf.txt", b"\x03\xef\xbb\xbfjohn@example.com\r\nzo\xc3\xab@example.org\r\n\r\nlast")
write("list_text/utf16le.txt", b"\x01" + "\ufeffa@b.c\nd\u2028e\r".encode("utf-16-le"))
write("list_text/utf16be.txt", b"\x05" + "\ufeffx\r\ny\n".encode("utf-16-be"))
write("list_text/cp1252.txt", b"\x02caf\xe9@example.com\rm\xfcller\n\x80")
write("list_text/broken-utf8.txt", b"\x04ok\n\xf0\x9f\x98\nend\xc3")

write("fields/csv.txt", b'"Smith, John",john@example.com,"say ""hi"""')
write("fields/tab.txt", b"Anna Keller\tAcme\tanna@acme.example")
write("fields/unclosed.txt", b'"never closed,x')
write("fields/hostile-name.txt", b"../../etc/\x1b[31m.hidden\x7f" + "\u00e9".encode() * 120)
write("fields/pattern.txt", b"badge_{2}_{n}{{x}}")

def entry(name):
    # A fixed time, so the seeds come out the same on every run.
    info = zipfile.ZipInfo(name, date_time=(2020, 1, 1, 0, 0, 0))
    info.compress_type = zipfile.ZIP_DEFLATED
    return info

def docx(body):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(entry("[Content_Types].xml"), '<?xml version="1.0"?><Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types"/>')
        z.writestr(entry("word/document.xml"), '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>'
                   '<w:document xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"><w:body>'
                   + body + "</w:body></w:document>")
    return out.getvalue()

write("docx/paragraphs.docx", docx('<w:p><w:r><w:t>first@example.com</w:t></w:r></w:p>'
                                   '<w:p><w:r><w:t xml:space="preserve"> </w:t></w:r></w:p>'
                                   '<w:p><w:r><w:t>a</w:t><w:tab/><w:t>b</w:t><w:br/><w:t>c</w:t></w:r></w:p>'))
write("docx/breaks-table.docx", docx('<w:p><w:r><w:t>before</w:t><w:br w:type="page"/><w:t>after</w:t></w:r></w:p>'
                                     '<w:tbl><w:tr><w:tc><w:p><w:r><w:t>cell 1</w:t></w:r></w:p></w:tc>'
                                     '<w:tc><w:p><w:r><w:t>cell 2</w:t></w:r></w:p></w:tc></w:tr></w:tbl>'))
write("docx/not-a-zip.docx", b"PK\x03\x04 this is not really a zip")

def odt(body):
    out = io.BytesIO()
    with zipfile.ZipFile(out, "w", zipfile.ZIP_DEFLATED) as z:
        z.writestr(zipfile.ZipInfo("mimetype", date_time=(2020, 1, 1, 0, 0, 0)), "application/vnd.oasis.opendocument.text")
        z.writestr(entry("content.xml"), '<?xml version="1.0" encoding="UTF-8"?><office:document-content '
                   'xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0" '
                   'xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0" '
                   'xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0" '
                   'xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0">'
                   "<office:body><office:text>" + body + "</office:text></office:body></office:document-content>")
    return out.getvalue()

write("odt/paragraphs.odt", odt('<text:h>Title</text:h><text:p>a<text:tab/>b<text:s text:c="3"/>c<text:line-break/>d</text:p>'
                                '<text:p> </text:p><text:soft-page-break/><text:p>after the break</text:p>'))
write("odt/lists-tables-notes.odt", odt('<text:list><text:list-item><text:p>one</text:p></text:list-item></text:list>'
                                        '<table:table><table:table-row><table:table-cell><text:p>cell</text:p>'
                                        '</table:table-cell></table:table-row></table:table>'
                                        '<text:p>anchor<text:note><text:note-body><text:p>note</text:p></text:note-body>'
                                        '</text:note><draw:frame><draw:text-box><text:p>box</text:p></draw:text-box>'
                                        '</draw:frame></text:p>'))

# doc: the word processor's .doc of the shared fixture, cut off, and marked encrypted,
# and the two-column fixture (its .docx too).
doc = open("../platform/documents/fixtures/same-document.doc", "rb").read()
write("doc/same-document.doc", doc)
write("doc/two-columns.doc", open("../platform/documents/fixtures/two-columns.doc", "rb").read())
write("docx/two-columns.docx", open("../platform/documents/fixtures/two-columns.docx", "rb").read())
write("doc/cut-off.doc", doc[:len(doc) // 2])
fib = next(at for at in range(512, len(doc), 512) if doc[at:at + 2] == b"\xec\xa5")
write("doc/encrypted.doc", doc[:fib + 10] + bytes([doc[fib + 10], doc[fib + 11] | 0x01]) + doc[fib + 12:])

write("ini/settings.ini", b"\xef\xbb\xbf[Settings]\r\nFontName=Tahoma\r\nFontSize=8\r\n; comment\r\n"
                          b"[settings]\r\nfontname=dup\r\nbroken line\r\n=empty key\r\n")

# ini_write: the file's bytes, a NUL, the value to store.
write("ini_write/update.ini", b"\xef\xbb\xbf[Settings]\r\nCheckForUpdates=1\r\nLastVersion=1.2\r\n\r\n\x002.0.1")
write("ini_write/other-sections.ini", b"[Window]\nLeft=10\n[settings]\nlastversion=old\nbroken line\n=empty key\n"
                                      b"[Settings]\nUpdate=0\n\x00\xc3\xa9t\xc3\xa9 \xf0\x9f\x98\x80")
write("ini_write/not-utf8.ini", b"[Settings]\nName=\xff\xfe\n\x001")
write("ini_write/line-break.ini", b"[Settings]\n\x00a\r\n[Settings]\r\nCheckForUpdates=0")

sample = open("../../resources/sample-template.pnxt", "rb").read()
write("template/sample.pnxt", sample)
write("template/badge.pnxt", open("../../resources/sample-badge.pnxt", "rb").read())
png = io.BytesIO()
Image.new("RGB", (3, 2), (10, 200, 30)).save(png, "PNG")
write("template/picture.pnxt", sample.replace(b'"background": null', b'"background": { "name": "tiny.png", "data": "'
                                              + base64.b64encode(png.getvalue()) + b'" }'))

# picture: the first byte picks the reader: png jpg gif bmp ico tiff webp wbmp svg.
for index, kind in enumerate(["PNG", "JPEG", "GIF", "BMP", "ICO", "TIFF", "WEBP"]):
    out = io.BytesIO()
    Image.new("RGB", (5, 4), (200, 50, 90)).save(out, kind)
    write("picture/tiny." + kind.lower(), bytes([index]) + out.getvalue())
write("picture/tiny.wbmp", bytes([7, 0, 0, 8, 2, 0b10101010, 0b01010101]))
write("picture/tiny.svg", bytes([8]) + b'<svg xmlns="http://www.w3.org/2000/svg" width="40" height="20">'
                                      b'<rect width="40" height="20" fill="#3a6"/></svg>')

# answer: a Content-Type line, then the body.
write("answer/plain.txt", b"text/plain; charset=utf-8\n<version>2.2</version>\r\n<url>https://www.zantoph.example/d</url>\r\n")
write("answer/latin1.txt", b"text/plain; charset=ISO-8859-1\n<notice>Caf\xe9</notice>\n")
write("answer/gzip.bin", gzip.compress(b"<version>9.9</version>\n", mtime=0))
# version/pennolux-batch.elf: objcopy -O elf64-x86-64 --only-section=.pennolux.version bin/pennolux-batch
