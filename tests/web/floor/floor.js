// The floor for the site's first picture: the least work we know that puts
// the default rules on the page. It fetches the two textures the data
// package holds, decodes them (the TGA in this script, the JPEG with the
// browser's createImageBitmap, off the page's thread), uploads them with
// mipmaps made by WebGL itself and draws each as a textured quad where the
// program puts its rules, with the program's perspective, on a canvas of the
// page's size in device pixels. When the browser has shown that frame it
// marks the time 'floor-first-picture' (performance.now(): from the start of
// the navigation), as the site marks 'vernaskel-first-picture'; the steps
// are marked on the way.
'use strict';

(async () => {
  const mark = name => performance.mark('floor-' + name);
  mark('script');

  // Uncompressed true-colour TGA, 24 bits, rows as stored: BGR to RGB.
  function decodeTga(buffer) {
    const bytes = new Uint8Array(buffer);
    const view = new DataView(buffer);
    const width = view.getUint16(12, true);
    const height = view.getUint16(14, true);
    if (bytes[2] !== 2 || bytes[16] !== 24) throw new Error('not an uncompressed 24-bit TGA');
    const from = 18 + bytes[0];
    const rgb = new Uint8Array(width * height * 3);
    for (let k = 0; k < rgb.length; k += 3) {
      rgb[k] = bytes[from + k + 2];
      rgb[k + 1] = bytes[from + k + 1];
      rgb[k + 2] = bytes[from + k];
    }
    return {width, height, rgb};
  }

  const canvas = document.getElementById('canvas');
  canvas.width = Math.round(innerWidth * devicePixelRatio);
  canvas.height = Math.round(innerHeight * devicePixelRatio);
  const gl = canvas.getContext('webgl2', {alpha: false, antialias: false, depth: false});

  const [tga, jpeg] = await Promise.all([
    fetch('data/rule0.tga').then(response => response.arrayBuffer()).then(buffer => {
      mark('tga-fetched');
      return decodeTga(buffer);
    }),
    fetch('data/rule1.jpg').then(response => response.blob()).then(blob => {
      mark('jpeg-fetched');
      return createImageBitmap(blob, {imageOrientation: 'none', premultiplyAlpha: 'none',
                                      colorSpaceConversion: 'none'});
    }),
  ]);
  mark('decoded');

  const texture = upload => {
    const name = gl.createTexture();
    gl.bindTexture(gl.TEXTURE_2D, name);
    upload();
    gl.generateMipmap(gl.TEXTURE_2D);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MIN_FILTER, gl.LINEAR_MIPMAP_LINEAR);
    gl.texParameteri(gl.TEXTURE_2D, gl.TEXTURE_MAG_FILTER, gl.LINEAR);
    return name;
  };
  gl.pixelStorei(gl.UNPACK_ALIGNMENT, 1);
  const rules = [
    texture(() => gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, tga.width, tga.height, 0, gl.RGB, gl.UNSIGNED_BYTE, tga.rgb)),
    texture(() => gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGB, gl.RGB, gl.UNSIGNED_BYTE, jpeg)),
  ];
  mark('uploaded');

  const compile = (type, source) => {
    const shader = gl.createShader(type);
    gl.shaderSource(shader, source);
    gl.compileShader(shader);
    return shader;
  };
  const program = gl.createProgram();
  gl.attachShader(program, compile(gl.VERTEX_SHADER, `#version 300 es
    in vec4 place; out vec2 st;
    void main() { st = place.zw; gl_Position = vec4(place.xy, 0.0, 1.0); }`));
  gl.attachShader(program, compile(gl.FRAGMENT_SHADER, `#version 300 es
    precision mediump float; uniform sampler2D rule; in vec2 st; out vec4 colour;
    void main() { colour = texture(rule, st); }`));
  gl.linkProgram(program);
  gl.useProgram(program);

  // The rules at depth 23 with the program's frustum (near 0.0058, half
  // width 0.004, half height 0.0033): x -15 to 15, the upper rule y 1.6 to
  // 8.4, the lower -8 to -1.2 (scene units), as clip coordinates.
  const clipX = x => x * 0.0058 / (0.004 * 23);
  const clipY = y => y * 0.0058 / (0.0033 * 23);
  const quad = (bottom, top) => [
    clipX(-15), clipY(bottom), 0, 0, clipX(15), clipY(bottom), 1, 0, clipX(-15), clipY(top), 0, 1,
    clipX(15), clipY(top), 1, 1,
  ];
  gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer());
  gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([...quad(1.6, 8.4), ...quad(-8, -1.2)]), gl.STATIC_DRAW);
  const place = gl.getAttribLocation(program, 'place');
  gl.enableVertexAttribArray(place);
  gl.vertexAttribPointer(place, 4, gl.FLOAT, false, 0, 0);
  gl.viewport(0, 0, canvas.width, canvas.height);
  gl.clearColor(0, 0, 0, 1);
  gl.clear(gl.COLOR_BUFFER_BIT);
  rules.forEach((rule, k) => {
    gl.bindTexture(gl.TEXTURE_2D, rule);
    gl.drawArrays(gl.TRIANGLE_STRIP, 4 * k, 4);
  });
  mark('drawn');
  // Shown: the animation frame comes before the browser draws the frame,
  // the timer after it (as the program waits for its pictures to be shown).
  requestAnimationFrame(() => setTimeout(() => mark('first-picture'), 0));
})();
