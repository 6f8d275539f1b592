void vrel__main() {
int vrel__x;
vrel__x = - 5 ;
vrel__x = vrel__x ;

}
int main() {
	vrel__main();
}


