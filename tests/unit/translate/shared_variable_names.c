void vrel__m() {
int vrel_v_f;
int vrel__f() {
return 7 ;

}
void vrel__g(int vrel_v_m) {
int vrel_v_f;
vrel_v_f = vrel__f() + vrel_v_m ;

}
void vrel__h() {
int vrel__f() {
return vrel_v_f ;

}
vrel__g(vrel_v_f );

}
byte vrel_v_strlen[4];
int vrel__readByte;
vrel_v_f = vrel__strlen(vrel_v_strlen ) + vrel__readByte ;

}
int main() {
	vrel__m();
}


