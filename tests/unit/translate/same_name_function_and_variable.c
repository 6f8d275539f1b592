void vrel__main() {
int vrel_v_f;
int vrel__f() {
int vrel_v_f;
return vrel_v_f ;

}
vrel_v_f = vrel__f() ;

}
int main() {
	vrel__main();
}


